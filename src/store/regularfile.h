#pragma once

#include <QString>

class QFile;

namespace rusena {

/// Opens `file` (by its file name) for reading when it names a regular file, a link to one
/// included. Anything else is refused before it is opened: opening a FIFO waits for a
/// writer, and opening a device can act on it.
bool openRegularFile(QFile &file);

/// True when nothing stands at `path` or a regular file does. A write replaces only such an
/// entry: a link, a device, a FIFO or a folder at `path` is left alone.
bool mayReplace(const QString &path);

} // namespace rusena
