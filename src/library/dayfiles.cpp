#include "dayfiles.h"

#include "daydate.h"
#include "store/regularfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rusena::library {

DayFiles::DayFiles(QString dataFolder)
    : m_folder(std::move(dataFolder) + QStringLiteral("/days"))
{
}

namespace {

QChar letterOf(DayKind kind)
{
    return kind == DayKind::Programme ? u'B' : u'K';
}

} // namespace

QString DayFiles::storedName(const QDate &date, DayKind kind)
{
    return storedDayName(date, kind);
}

QString DayFiles::pathOf(const QDate &date, DayKind kind) const
{
    return m_folder + u'/' + storedName(date, kind);
}

namespace {

// The origin name lives beside the day's file, and only where it differs from the stored
// name (the organiser's archives hold "K200101.TXT", which is the stored name).
QString originPath(const QString &dayPath)
{
    return dayPath + QStringLiteral(".from");
}

#ifdef Q_OS_UNIX
// A temporary file beside the target, renamed over it: a killed process leaves the old
// file or the new one, never a part. Unlike QSaveFile this does not sync each file; the
// days written are synced together by syncWritten(), once a group.
bool saveAtomically(const QString &path, const QByteArray &bytes, QStringList &written)
{
    QFile file;
    if (!openNewBeside(file, path))
        return false;
    const bool complete = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!complete || !renameOver(file.fileName(), path)) {
        file.remove();
        return false;
    }
    written.append(path);
    return true;
}

// fdatasync of each file, then of the folder for the renames; on Linux one syncfs covers
// them all at the cost of one flush of the file system.
bool syncFiles(const QString &folder, const QStringList &paths)
{
#ifdef Q_OS_LINUX
    Q_UNUSED(paths);
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    const bool synced = fd >= 0 && ::syncfs(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
#else
    bool synced = true;
    for (const QString &path : paths + QStringList { folder }) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        synced = fd >= 0 && ::fsync(fd) == 0 && synced;
        if (fd >= 0)
            ::close(fd);
    }
    return synced;
#endif
}
#else
bool saveAtomically(const QString &path, const QByteArray &bytes, QStringList &)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() renames even after a failed flush (a full disk), so the flush is checked.
    return file.write(bytes) == bytes.size() && file.flush() && file.commit();
}

bool syncFiles(const QString &, const QStringList &)
{
    return true; // QSaveFile synced each file already
}
#endif

} // namespace

bool DayFiles::write(
    const QDate &date, const QByteArray &bytes, const QString &origin, DayKind kind)
{
    if (!QDir().mkpath(m_folder))
        return false;
    const QString path = pathOf(date, kind);
    const bool originSaved = origin == storedName(date, kind)
        ? (!QFile::exists(originPath(path)) || QFile::remove(originPath(path)))
        : saveAtomically(originPath(path), origin.toUtf8(), m_unsynced);
    return originSaved && saveAtomically(path, bytes, m_unsynced);
}

bool DayFiles::remove(const QDate &date, DayKind kind) const
{
    const QString path = pathOf(date, kind);
    QFile::remove(originPath(path));
    return !QFile::exists(path) || QFile::remove(path);
}

bool DayFiles::syncWritten()
{
    if (m_unsynced.isEmpty())
        return true;
    const bool synced = syncFiles(m_folder, m_unsynced);
    m_unsynced.clear();
    return synced;
}

QString DayFiles::origin(const QDate &date, DayKind kind) const
{
    QFile file(originPath(pathOf(date, kind)));
    if (!file.open(QIODevice::ReadOnly))
        return storedName(date, kind);
    // Kept as written: a name may end in blanks.
    const QString name = QString::fromUtf8(file.readAll());
    return name.isEmpty() ? storedName(date, kind) : name;
}

std::optional<QByteArray> DayFiles::read(const QDate &date, DayKind kind) const
{
    QFile file(pathOf(date, kind));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QList<QDate> DayFiles::dates(DayKind kind) const
{
    QList<QDate> out;
    const QStringList names
        = QDir(m_folder).entryList({ letterOf(kind) + QStringLiteral("*.TXT") }, QDir::Files);
    // Only the names the library gives: a day's date is read back from its name by the
    // same rule that files a day.
    for (const QString &name : names) {
        const QDate date = dateOfFileName(name);
        if (date.isValid() && storedName(date, kind) == name)
            out.append(date);
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace rusena::library
