#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace rusena::library {

/// The largest day file the library takes. The largest real day is 282 KB; anything near
/// this limit is no result file, and a member of an archive that claims more is refused
/// before its bytes are read.
inline constexpr qint64 MaxDayBytes = 16 * 1024 * 1024;

/// A result member of an archive: its base name (never a folder) and its bytes.
struct ArchiveMember final {
    QString name;
    QByteArray bytes;
};

/// What an archive holds, or why it cannot be used: when `error` is set the archive is
/// unusable as a whole and `members` is empty.
struct ArchiveContents final {
    QList<ArchiveMember> members;
    QString error;
};

/// Reads every member of the LZH archive at `path` whose base name begins with K or k.
ArchiveContents readArchive(const QString &path);

/// The member name's last part: an archive may store "../../x.TXT" or "a\b\x.TXT".
QString baseNameOf(const QString &memberName);

} // namespace rusena::library
