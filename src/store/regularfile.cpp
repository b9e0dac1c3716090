#include "regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#else
#include <QDir>

#include <io.h>
#include <windows.h>
#endif

namespace rusena {

bool openNewBeside(QFile &file, const QString &path)
{
    // A name taken (by a planted entry or another process) is tried again under another.
    for (int attempt = 0; attempt < 16; ++attempt) {
        file.setFileName(path + QStringLiteral(".part")
            + QString::number(QRandomGenerator::global()->generate64(), 36));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
    }
    return false;
}

QByteArray readAtMost(QFile &file, qint64 limit)
{
    // Asked for the whole limit, QIODevice::read() would take room for all of it first: for
    // every day file read, 16 MB mapped and handed back. A file grown since its size was
    // taken (or one that reports none) is read on, a chunk at a time.
    QByteArray bytes
        = file.read(std::min(limit, std::max<qint64>(file.size() - file.pos(), 0) + 1));
    char chunk[64 * 1024];
    while (bytes.size() < limit) {
        const qint64 count = file.read(chunk, std::min<qint64>(sizeof chunk, limit - bytes.size()));
        if (count <= 0)
            break;
        bytes.append(chunk, count);
    }
    return bytes;
}

#ifdef Q_OS_UNIX

bool flushToDisk(QFile &file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

bool renameOver(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

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

bool flushToDisk(QFile &file)
{
    return file.flush()
        && ::FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()))) != 0;
}

bool renameOver(const QString &from, const QString &to)
{
    return ::MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
               reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
               MOVEFILE_REPLACE_EXISTING)
        != 0;
}

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
