#pragma once

// FIFOs standing where the program expects a file: reading one must not wait for a writer,
// and a write must leave it alone. POSIX only; elsewhere the test is skipped.

#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

#define MAKE_FIFO(path) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0)

inline bool isFifo(const QString &path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}
#else
#define MAKE_FIFO(path) QSKIP("this platform has no FIFOs")

inline bool isFifo(const QString &)
{
    return false;
}
#endif
