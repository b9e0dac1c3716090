#pragma once

#include <QByteArrayView>
#include <QString>

namespace rusena {

/// Decodes code page 932 (Windows-31J) bytes. Every byte that does not start a valid
/// character, and every byte of a truncated sequence, becomes one U+FFFD.
QString decodeCp932(QByteArrayView bytes);

/// The same, into `out`, reusing its buffer when it is large enough.
void decodeCp932(QByteArrayView bytes, QString &out);

} // namespace rusena
