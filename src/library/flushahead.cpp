#include "flushahead.h"

#include <QFile>

#include <chrono>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rusena::library {

namespace {

// Often enough that a group's files (a quarter of a second's work) are mostly on the disk
// when it commits, seldom enough that a flush of a quiet file system costs nothing.
constexpr std::chrono::milliseconds Interval(25);

} // namespace

FlushAhead::FlushAhead(const QString &folder)
{
#ifdef Q_OS_LINUX
    const int fd
        = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
        m_thread = std::thread([this, fd] { run(fd); });
#else
    Q_UNUSED(folder);
#endif
}

FlushAhead::~FlushAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_stopped.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FlushAhead::run(int fd)
{
#ifdef Q_OS_LINUX
    std::unique_lock lock(m_mutex);
    while (!m_stopped.wait_for(lock, Interval, [this] { return m_stop; })) {
        lock.unlock();
        ::syncfs(fd); // a failure here is found by the sync that guards each commit
        lock.lock();
    }
    ::close(fd);
#else
    Q_UNUSED(fd);
#endif
}

} // namespace rusena::library
