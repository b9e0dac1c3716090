#pragma once

#include <QByteArrayView>
#include <QString>

namespace rusena {

/// Decodes code page 932 (Windows-31J) bytes. Every byte that does not start a valid
/// character, and every byte of a truncated sequence, becomes one U+FFFD.
QString decodeCp932(QByteArrayView bytes);

/// The same, into `out`, reusing its buffer when it is large enough.
void decodeCp932(QByteArrayView bytes, QString &out);

/// False when the system's converter could not be opened: then every byte decodes to
/// U+FFFD and no day can be read.
bool cp932DecoderWorks();

/// Test hook: while on, the converter counts as one that could not be opened.
void failCp932DecoderForTesting(bool fail);

} // namespace rusena
