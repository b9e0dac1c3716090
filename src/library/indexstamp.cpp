#include "indexstamp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace rusena::library {

namespace {

const QByteArray Closed = QByteArrayLiteral("closed ");
const QByteArray Writing = QByteArrayLiteral("writing ");

// Where the process cannot be asked about, it is taken for dead: the full check then
// runs, which is slower, never wrong.
bool isRunning(qint64 pid)
{
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#else
    Q_UNUSED(pid);
    return false;
#endif
}

QByteArray look(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QByteArrayLiteral("- ");
    return QByteArray::number(info.size()) + ' '
        + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + ' '
        + QByteArray::number(info.metadataChangeTime().toMSecsSinceEpoch()) + ' ';
}

} // namespace

IndexStamp::IndexStamp(const QString &dataFolder, QString indexPath)
    : m_path(dataFolder + QStringLiteral("/library.stamp"))
    , m_indexPath(std::move(indexPath))
    , m_daysPath(dataFolder + QStringLiteral("/days"))
{
}

QByteArray IndexStamp::currentLook() const
{
    // The days folder's times change when a day file is renamed in or removed, which is
    // how every program replaces a file; a file changed in place is found by the check
    // on demand.
    return Closed + look(m_indexPath) + look(m_daysPath).trimmed();
}

QByteArray IndexStamp::read() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(256).trimmed();
}

bool IndexStamp::trusts(const QByteArray &stamp) const
{
    if (stamp.startsWith(Writing))
        return isRunning(stamp.mid(Writing.size()).toLongLong());
    return !stamp.isEmpty() && stamp == currentLook();
}

bool IndexStamp::write(const QByteArray &stamp)
{
    QSaveFile file(m_path);
    return file.open(QIODevice::WriteOnly) && file.write(stamp + '\n') == stamp.size() + 1
        && file.commit();
}

QByteArray IndexStamp::markWriting()
{
    const QByteArray stamp = Writing + QByteArray::number(QCoreApplication::applicationPid());
    if (read() == stamp)
        return stamp;
    return write(stamp) ? stamp : QByteArray();
}

bool IndexStamp::markClosed()
{
    return write(currentLook());
}

} // namespace rusena::library
