#pragma once

#include "daykind.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace rusena::library {

/// The raw day files, the library's truth: `days/KYYMMDD.TXT` (results) and
/// `days/BYYMMDD.TXT` (programmes) in the data folder (`KYYYYMMDD.TXT`, `BYYYYMMDD.TXT` for
/// a day outside 2000-2099), each the bytes of the file the day came from.
class DayFiles final {
public:
    explicit DayFiles(QString dataFolder);

    QString folder() const { return m_folder; }
    static QString storedName(const QDate &date, DayKind kind = DayKind::Result);
    QString pathOf(const QDate &date, DayKind kind = DayKind::Result) const;

    /// Replaces the day's file atomically, remembering the name it came from where that is
    /// not its stored name. False when it could not be written completely; the day's file
    /// on disk is then as it was. The file is renamed into place (whole or absent after a
    /// kill) but not yet synced to the disk: see syncWritten().
    bool write(const QDate &date, const QByteArray &bytes, const QString &origin,
        DayKind kind = DayKind::Result);
    /// Removes the day's file (and the name it came from); false when it stays.
    bool remove(const QDate &date, DayKind kind = DayKind::Result) const;
    /// Syncs the files written since the last call to the disk, so that after a power cut
    /// they are there. Called before the index rows that name them are committed: one sync
    /// for a group of days instead of one a file. False when the sync failed.
    bool syncWritten();
    /// The base name the day came from.
    QString origin(const QDate &date, DayKind kind = DayKind::Result) const;
    std::optional<QByteArray> read(const QDate &date, DayKind kind = DayKind::Result) const;

    /// The dates of the stored files of a kind, oldest first.
    QList<QDate> dates(DayKind kind = DayKind::Result) const;

private:
    QString m_folder;
    QStringList m_unsynced;
};

} // namespace rusena::library
