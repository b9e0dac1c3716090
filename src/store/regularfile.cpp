#include "regularfile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rusena {

#ifdef Q_OS_UNIX

bool openRegularFile(QFile &file)
{
    const QByteArray name = QFile::encodeName(file.fileName());
    struct stat info { };
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // Non-blocking, and checked again once open, in case the entry was swapped in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !file.open(
            fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool mayReplace(const QString &path)
{
    struct stat info { };
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode);
}

#else

bool openRegularFile(QFile &file)
{
    return QFileInfo(file.fileName()).isFile()
        && file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool mayReplace(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && !info.isSymLink());
}

#endif

} // namespace rusena
