#include "dayfiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace rusena::library {

DayFiles::DayFiles(QString dataFolder)
    : m_folder(std::move(dataFolder) + QStringLiteral("/days"))
{
}

QString DayFiles::storedName(const QDate &date)
{
    return u'K' + date.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".TXT");
}

QString DayFiles::pathOf(const QDate &date) const
{
    return m_folder + u'/' + storedName(date);
}

namespace {

// The origin name lives beside the day's file, and only where it differs from the stored
// name (the organiser's archives hold "K200101.TXT", which is the stored name).
QString originPath(const QString &dayPath)
{
    return dayPath + QStringLiteral(".from");
}

bool saveAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() renames even after a failed flush (a full disk), so the flush is checked.
    return file.write(bytes) == bytes.size() && file.flush() && file.commit();
}

} // namespace

bool DayFiles::write(const QDate &date, const QByteArray &bytes, const QString &origin) const
{
    if (!QDir().mkpath(m_folder))
        return false;
    const QString path = pathOf(date);
    const bool originSaved = origin == storedName(date)
        ? (!QFile::exists(originPath(path)) || QFile::remove(originPath(path)))
        : saveAtomically(originPath(path), origin.toUtf8());
    return originSaved && saveAtomically(path, bytes);
}

QString DayFiles::origin(const QDate &date) const
{
    QFile file(originPath(pathOf(date)));
    if (!file.open(QIODevice::ReadOnly))
        return storedName(date);
    const QString name = QString::fromUtf8(file.readAll()).trimmed();
    return name.isEmpty() ? storedName(date) : name;
}

std::optional<QByteArray> DayFiles::read(const QDate &date) const
{
    QFile file(pathOf(date));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QList<QDate> DayFiles::dates() const
{
    QList<QDate> out;
    const QStringList names = QDir(m_folder).entryList({ QStringLiteral("K*.TXT") }, QDir::Files);
    for (const QString &name : names) {
        const QDate date = QDate::fromString(name.mid(1, 6), QStringLiteral("yyMMdd"));
        if (name.size() == 11 && date.isValid())
            out.append(date.addYears(date.year() < 2000 ? 100 : 0));
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace rusena::library
