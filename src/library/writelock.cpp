#include "writelock.h"

namespace rusena::library {

WriteLock::WriteLock(const QString &dataFolder)
    : m_file(dataFolder + QStringLiteral("/library.lock"))
{
    // Held for as long as a rebuild takes: only a holder that has died makes it stale.
    m_file.setStaleLockTime(0);
}

bool WriteLock::acquire(int waitMs)
{
    if (m_depth > 0 || m_file.tryLock(waitMs)) {
        ++m_depth;
        return true;
    }
    return false;
}

void WriteLock::release()
{
    if (m_depth > 0 && --m_depth == 0)
        m_file.unlock();
}

} // namespace rusena::library
