#pragma once

// The platform's code page 932 converter behind decodeCp932. Exactly one backend is
// compiled: iconv (cp932iconv.cpp) or, on Windows, the system's own (cp932windows.cpp).

#include <QByteArrayView>
#include <QString>

namespace rusena::cp932backend {

/// Whether this thread's converter could be opened.
bool opened();

/// Decodes into `out`, which holds room for one UTF-16 unit a byte; returns the units
/// written. Invalid bytes and truncated sequences become one U+FFFD each.
qsizetype decode(QByteArrayView bytes, QChar *out);

} // namespace rusena::cp932backend
