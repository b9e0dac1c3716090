#pragma once

// A data folder that refuses new entries while a test runs.

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

// Makes a folder refuse new entries, for root as well (the immutable attribute, Linux only),
// or by permission bits for anyone else (Unix). Elsewhere ok() is false and the tests that
// need it skip: Windows ignores the read-only attribute of a folder.
class ReadOnlyFolder final {
public:
    explicit ReadOnlyFolder(const QString &path)
        : m_path(QFile::encodeName(path))
    {
#ifdef Q_OS_UNIX
        if (::geteuid() != 0) {
            m_ok = ::chmod(m_path.constData(), 0500) == 0;
            return;
        }
#endif
#ifdef Q_OS_LINUX
        m_fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        m_ok = m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags |= FS_IMMUTABLE_FL;
        m_ok = m_ok && ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
#endif
    }
    ~ReadOnlyFolder()
    {
#ifdef Q_OS_LINUX
        if (m_fd >= 0) {
            int flags = 0;
            if (::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
            }
            ::close(m_fd);
            return;
        }
#endif
#ifdef Q_OS_UNIX
        if (m_ok)
            ::chmod(m_path.constData(), 0700);
#endif
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    /// False when this file system or this user cannot make the folder read-only.
    bool ok() const
    {
        return m_ok;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_ok = false;
};
