#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace rusena::library {

/// The largest day file the library takes. The largest real day is 282 KB; anything near
/// this limit is no result file, and a member of an archive that claims more is refused
/// before its bytes are read.
inline constexpr qint64 MaxDayBytes = 16 * 1024 * 1024;

/// The most an archive's day members may hold together: the same as one day file, so that
/// an archive never costs more memory than the largest text file. The organiser's archives
/// hold one day; a month of days fits too.
inline constexpr qint64 MaxArchiveDayBytes = MaxDayBytes;

/// A result member of an archive: its base name (never a folder) and its bytes.
struct ArchiveMember final {
    QString name;
    QByteArray bytes;
};

/// What an archive holds, or why it cannot be used: when `error` is set the archive is
/// unusable as a whole and `members` is empty.
struct ArchiveContents final {
    QList<ArchiveMember> members;
    QStringList ignored; ///< the names of members that are no day file (a read-me)
    QString error;
};

/// Reads every member of the LZH archive at `path` whose base name begins with K or k.
/// Only a regular file is read: a FIFO or a device is refused before it is opened.
ArchiveContents readArchive(const QString &path);
/// The same from an open device.
ArchiveContents readArchive(QIODevice &device);

/// The member name's last part: an archive may store "../../x.TXT" or "a\b\x.TXT".
QString baseNameOf(const QString &memberName);

} // namespace rusena::library
