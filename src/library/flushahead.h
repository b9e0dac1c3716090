#pragma once

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace rusena::library {

/// While it lives, a thread has the system write out the file system that holds a folder,
/// a few dozen times a second. A batch syncs its day files before each group's commit
/// (DayFiles::syncWritten()); with the writing of its files and the index already under
/// way, that sync finds little left to wait for. Linux only: elsewhere it does nothing.
class FlushAhead final {
public:
    explicit FlushAhead(const QString &folder);
    /// Stops the thread once any flush under way has ended.
    ~FlushAhead();
    FlushAhead(const FlushAhead &) = delete;
    FlushAhead &operator=(const FlushAhead &) = delete;

private:
    void run(int fd);

    std::mutex m_mutex;
    std::condition_variable m_stopped;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace rusena::library
