#pragma once

// A data folder that refuses new entries while a test runs.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder refuse new entries, for root as well (the immutable attribute), or by
// permission bits for anyone else. Undone when it goes out of scope.
class ReadOnlyFolder final {
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(QFile::encodeName(path))
    {
        if (::geteuid() != 0) {
            m_ok = ::chmod(m_path.constData(), 0500) == 0;
            return;
        }
        m_fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        m_ok = m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags |= FS_IMMUTABLE_FL;
        m_ok = m_ok && ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (m_fd >= 0) {
            int flags = 0;
            if (::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
            }
            ::close(m_fd);
        } else if (m_ok) {
            ::chmod(m_path.constData(), 0700);
        }
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    /// False when this file system or this user cannot make the folder read-only.
    bool ok() const { return m_ok; }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_ok = false;
};
