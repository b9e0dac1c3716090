#include "indexcheck.h"

#include "dayfiles.h"
#include "library.h"
#include "sqliteconnection.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

#include <sqlite3.h>

namespace rusena::library {

namespace {

// The digest the index keeps for each day; false when the index cannot be read.
bool indexedDigests(SqliteConnection &db, DayKind kind, QHash<QDate, QString> &out)
{
    sqlite3_stmt *s = nullptr;
    const char *sql = kind == DayKind::Programme ? "SELECT date, bytes_digest FROM programme_days"
                                                 : "SELECT date, bytes_digest FROM days";
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &s, nullptr) != SQLITE_OK)
        return false;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                sqlite3_column_bytes(s, column));
        };
        out.insert(QDate::fromString(text(0), Qt::ISODate), text(1));
    }
    sqlite3_finalize(s);
    return rc == SQLITE_DONE;
}

QString quickCheck(SqliteConnection &db)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db.handle(), "PRAGMA quick_check", -1, &s, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db.handle()));
    QString result;
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    else
        result = QString::fromUtf8(sqlite3_errmsg(db.handle()));
    sqlite3_finalize(s);
    return result;
}

void compareDays(
    const QHash<QDate, QString> &indexed, const DayFiles &files, DayKind kind, IndexCheck &check)
{
    const QList<QDate> onDisk = files.dates(kind);
    QList<QDate> toFile;
    for (auto it = indexed.begin(); it != indexed.end(); ++it) {
        const QDate &date = it.key();
        const QFileInfo info(files.pathOf(date, kind));
        const QString name = info.fileName();
        QString finding;
        if (!info.exists() && !info.isSymLink())
            finding = name + QStringLiteral("：日のファイルがありません");
        else if (!info.isFile() || info.isSymLink())
            finding = name + QStringLiteral("：通常のファイルではありません");
        else if (const std::optional<QByteArray> bytes = files.read(date, kind); !bytes)
            finding = name + QStringLiteral("：日のファイルを読めません");
        else if (dayDigest(*bytes) != it.value())
            finding = name + QStringLiteral("：索引の記録と中身が違います");
        if (!finding.isEmpty()) {
            check.findings.append(finding);
            toFile.append(date);
        }
    }
    for (const QDate &date : onDisk) {
        if (!indexed.contains(date)) {
            check.findings.append(QFileInfo(files.pathOf(date, kind)).fileName()
                + QStringLiteral("：索引にありません"));
            toFile.append(date);
        }
    }
    std::sort(toFile.begin(), toFile.end());
    for (const QDate &date : toFile)
        check.daysToFile.append({ kind, date });
}

} // namespace

IndexCheck checkIndex(SqliteConnection &db, const DayFiles &files, int schemaVersion)
{
    IndexCheck check;
    const QString result = quickCheck(db);
    if (result != u"ok") {
        check.findings.append(QStringLiteral("索引が壊れています：") + result);
        return check;
    }
    check.readable = true;
    if (!db.intValue("PRAGMA user_version", check.version) || check.version != schemaVersion) {
        check.findings.append(QStringLiteral("索引の形式が違います"));
        return check;
    }
    for (const DayKind kind : { DayKind::Result, DayKind::Programme }) {
        QHash<QDate, QString> indexed;
        if (!indexedDigests(db, kind, indexed)) {
            check.readable = false;
            check.findings.append(QStringLiteral("索引を読めません：")
                + QString::fromUtf8(sqlite3_errmsg(db.handle())));
            return check;
        }
        compareDays(indexed, files, kind, check);
    }
    return check;
}

} // namespace rusena::library
