#pragma once

#include <QLockFile>
#include <QString>

namespace rusena::library {

/// The library's write lock: one process at a time changes the raw day files and the index,
/// whether it imports a day or makes the whole index anew, and only the holder ever
/// removes or creates the index file. A lock file beside the index; a process that dies
/// holding it, even before it wrote its process id into it, leaves a lock that the next
/// one sees as stale and takes over. Holds nest within one process.
class WriteLock final {
public:
    explicit WriteLock(const QString &dataFolder);

    /// Waits up to `waitMs` for the lock; false when another process kept it.
    bool acquire(int waitMs);
    /// Takes the lock only when nobody holds it now.
    bool tryAcquire() { return acquire(0); }
    void release();
    bool isHeld() const { return m_depth > 0; }

private:
    bool lockWithin(int waitMs);
    bool isOrphaned() const;
    bool removeOrphan();

    QLockFile m_file;
    int m_depth = 0;
};

} // namespace rusena::library
