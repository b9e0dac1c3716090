#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

namespace rusena::library {

/// The raw day files, the library's truth: `days/KYYMMDD.TXT` in the data folder, each
/// the bytes of the file the day came from.
class DayFiles final {
public:
    explicit DayFiles(QString dataFolder);

    QString folder() const { return m_folder; }
    static QString storedName(const QDate &date);
    QString pathOf(const QDate &date) const;

    /// Replaces the day's file atomically, remembering the name it came from where that is
    /// not its stored name. False when it could not be written completely; the day's file
    /// on disk is then as it was.
    bool write(const QDate &date, const QByteArray &bytes, const QString &origin) const;
    /// The base name the day came from.
    QString origin(const QDate &date) const;
    std::optional<QByteArray> read(const QDate &date) const;

    /// The dates of the stored files, oldest first.
    QList<QDate> dates() const;

private:
    QString m_folder;
};

} // namespace rusena::library
