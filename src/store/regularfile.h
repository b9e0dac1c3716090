#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace rusena {

/// Opens `file` (by its file name) for reading when it names a regular file, a link to one
/// included. Anything else is refused before it is opened: opening a FIFO waits for a
/// writer, and opening a device can act on it.
bool openRegularFile(QFile &file);

/// Creates and opens for writing a new file beside `path`, named after it with a random
/// ending. Created exclusively: whatever stands under a name already (a planted link) is
/// neither followed nor reused. Rename it over `path` with renameOver().
bool openNewBeside(QFile &file, const QString &path);

/// The file's bytes from its position on, at most `limit` of them.
QByteArray readAtMost(QFile &file, qint64 limit);

/// Flushes the file and has the system write it to the disk. False when either failed.
bool flushToDisk(QFile &file);

/// Renames `from` over `to` in one step, replacing a file there: a reader sees the old file
/// or the new one, never neither.
bool renameOver(const QString &from, const QString &to);

/// True when nothing stands at `path` or a regular file does. A write replaces only such an
/// entry: a link, a device, a FIFO or a folder at `path` is left alone.
bool mayReplace(const QString &path);

} // namespace rusena
