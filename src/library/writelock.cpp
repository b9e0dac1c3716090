#include "writelock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>

#include <algorithm>

namespace rusena::library {

namespace {

// A live holder writes its process id into the lock file within microseconds of making
// it; a file still without one after this long has lost its maker.
constexpr qint64 OrphanAgeMs = 2000;
// How often a waiter looks again for such a file.
constexpr qint64 SliceMs = 500;

} // namespace

WriteLock::WriteLock(const QString &dataFolder)
    : m_file(dataFolder + QStringLiteral("/library.lock"))
{
    // Held for as long as a rebuild takes: only a holder that has died makes it stale.
    m_file.setStaleLockTime(0);
}

bool WriteLock::acquire(int waitMs)
{
    if (m_depth == 0 && !lockWithin(waitMs))
        return false;
    ++m_depth;
    return true;
}

void WriteLock::release()
{
    if (m_depth > 0 && --m_depth == 0)
        m_file.unlock();
}

bool WriteLock::lockWithin(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        const qint64 slice
            = deadline.isForever() ? SliceMs : std::clamp(deadline.remainingTime(), 0LL, SliceMs);
        if (m_file.tryLock(slice))
            return true;
        if (m_file.error() != QLockFile::LockFailedError)
            return false;
        if (isOrphaned() && removeOrphan())
            continue;
        if (deadline.hasExpired())
            return false;
    }
}

// QLockFile takes over a lock whose holder has died only when the file names that holder.
// A process killed between making the file and writing into it leaves one that names
// nobody, and would keep every writer out for good.
bool WriteLock::isOrphaned() const
{
    qint64 pid = 0;
    QString host, app;
    if (m_file.getLockInfo(&pid, &host, &app))
        return false;
    const QFileInfo info(m_file.fileName());
    return info.exists()
        && qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime())) > OrphanAgeMs;
}

// As QLockFile does with a stale lock: one remover at a time, and the file looked at again
// under that lock, since another waiter may have removed it and made its own meanwhile.
bool WriteLock::removeOrphan()
{
    QLockFile remover(m_file.fileName() + QStringLiteral(".rmlock"));
    return remover.tryLock(0) && isOrphaned() && m_file.removeStaleLockFile();
}

} // namespace rusena::library
