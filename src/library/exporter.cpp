#include "exporter.h"

#include "csvwriter.h"
#include "library.h"
#include "library/period.h"
#include "sqliteconnection.h"
#include "store/regularfile.h"
#include "storedpayouts.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <thread>
#include <vector>

namespace rusena::library {

namespace {

using namespace Qt::StringLiterals;

struct CsvFile final {
    const char *name;
    QStringList header;
    QString sql;
    /// The last column is a race's stored payouts, written as a row each after the
    /// columns before it.
    bool payoutsLast = false;
    /// The column that holds a venue code to be written as the venue's name, -1 for none.
    int venueNameColumn = -1;
};

// Within a day, race ids grow in the file's order, and (date, venue_code, race, id) is the
// races_by_day index as SQLite keeps it: the rows come out sorted with no sort step.
QList<CsvFile> csvFiles()
{
    const QString raceOrder = QStringLiteral(" ORDER BY r.date, r.venue_code, r.race, r.id");
    return {
        { "days.csv", { u"date"_s, u"file"_s, u"venues"_s, u"races"_s },
            QStringLiteral("SELECT date, file, venues, races FROM days ORDER BY date") },
        { "races.csv",
            { u"date"_s, u"venue_code"_s, u"venue"_s, u"race"_s, u"heading"_s, u"fixed_entry"_s,
                u"distance_m"_s, u"weather"_s, u"wind_direction"_s, u"wind_m"_s, u"wave_cm"_s,
                u"technique"_s, u"void"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.venue_code, r.race,"
                           " r.heading, r.fixed_entry, r.distance_m, r.weather,"
                           " r.wind_direction, r.wind_m, r.wave_cm, r.technique, r.void"
                           " FROM races r")
                + raceOrder,
            false, 2 },
        { "entries.csv",
            { u"date"_s, u"venue_code"_s, u"race"_s, u"placing"_s, u"rank"_s, u"boat"_s, u"reg"_s,
                u"name"_s, u"motor"_s, u"boat_no"_s, u"exhibition"_s, u"course"_s, u"start"_s,
                u"race_time"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.race, e.placing, e.rank,"
                           " e.boat, printf('%04d', e.reg), e.name, e.motor, e.boat_no, "
                           "e.exhibition, e.course,"
                           " e.start, e.race_time FROM races r JOIN entries e ON e.race_id = r.id")
                + raceOrder + QStringLiteral(", e.seq") },
        { "payouts.csv",
            { u"date"_s, u"venue_code"_s, u"race"_s, u"bet"_s, u"combination"_s, u"yen"_s,
                u"popularity"_s, u"note"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.race, r.payouts"
                           " FROM races r")
                + raceOrder,
            true },
        { "programme_days.csv", { u"date"_s, u"file"_s, u"venues"_s, u"races"_s },
            QStringLiteral("SELECT date, file, venues, races FROM programme_days ORDER BY date") },
        { "programmes.csv",
            { u"date"_s, u"venue_code"_s, u"venue"_s, u"race"_s, u"meeting_title"_s,
                u"meeting_day"_s, u"race_name"_s, u"fixed_entry"_s, u"distance_m"_s,
                u"deadline"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.venue_code, r.race,"
                           " r.meeting_title, r.meeting_day, r.race_name, r.fixed_entry,"
                           " r.distance_m, r.deadline FROM programme_races r")
                + raceOrder,
            false, 2 },
        { "programme_entries.csv",
            { u"date"_s, u"venue_code"_s, u"race"_s, u"boat"_s, u"reg"_s, u"name"_s, u"age"_s,
                u"branch"_s, u"weight_kg"_s, u"class"_s, u"national_win_rate"_s,
                u"national_top2_rate"_s, u"local_win_rate"_s, u"local_top2_rate"_s, u"motor"_s,
                u"motor_top2_rate"_s, u"boat_no"_s, u"boat_top2_rate"_s, u"meeting_results"_s,
                u"early_race"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.race, e.boat, e.reg,"
                           " e.name, e.age, e.branch, e.weight_kg, e.class, e.national_win_rate,"
                           " e.national_top2_rate, e.local_win_rate, e.local_top2_rate, e.motor,"
                           " e.motor_top2_rate, e.boat_no, e.boat_top2_rate, e.meeting_results,"
                           " e.early_race FROM programme_races r"
                           " JOIN programme_entries e ON e.race_id = r.id")
                + raceOrder + QStringLiteral(", e.seq") },
    };
}

// The column as the index keeps it: numbers as digits, text as the UTF-16 it is stored
// in, NULL as an empty field.
void addColumn(CsvWriter &writer, sqlite3_stmt *s, int column)
{
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_INTEGER:
        writer.addField(qint64(sqlite3_column_int64(s, column)));
        return;
    case SQLITE_NULL:
        writer.addField(QStringView());
        return;
    default:
        const auto *text = static_cast<const char16_t *>(sqlite3_column_text16(s, column));
        writer.addField(QStringView(text, sqlite3_column_bytes16(s, column) / 2));
    }
}

void addPayouts(CsvWriter &writer, sqlite3_stmt *s, int columns)
{
    const auto *text = static_cast<const char16_t *>(sqlite3_column_text16(s, columns - 1));
    const QStringView payouts(text, sqlite3_column_bytes16(s, columns - 1) / 2);
    // The race's columns are encoded once and repeated before each of its payouts.
    QByteArray race;
    for (const Payout &p : readStoredPayouts(payouts)) {
        if (race.isEmpty()) {
            for (int c = 0; c < columns - 1; ++c)
                addColumn(writer, s, c);
            race = writer.rowSoFar();
        } else {
            writer.addWritten(race);
        }
        writer.addField(p.bet);
        writer.addField(p.combination);
        p.yen ? writer.addField(*p.yen) : writer.addField(QStringView());
        p.popularity ? writer.addField(*p.popularity) : writer.addField(QStringView());
        writer.addField(p.note);
        writer.endRow();
    }
}

// Writes the file's rows into `file`, a new file beside `path`, and has it reach the disk.
Status writeCsv(sqlite3 *db, const QString &path, const CsvFile &csv, QFile &file)
{
    sqlite3_stmt *s = nullptr;
    const QByteArray sql = csv.sql.toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &s, nullptr) != SQLITE_OK)
        return { QStringLiteral("ライブラリを読めません：")
            + QString::fromUtf8(sqlite3_errmsg(db)) };
    bool ok = openNewBeside(file, path);
    CsvWriter writer(file, csv.header);
    const int columns = sqlite3_column_count(s);
    int rc = SQLITE_ROW;
    while (ok && writer.ok() && (rc = sqlite3_step(s)) == SQLITE_ROW) {
        if (csv.payoutsLast) {
            addPayouts(writer, s, columns);
            continue;
        }
        for (int c = 0; c < columns; ++c) {
            if (c == csv.venueNameColumn)
                writer.addField(venueName(sqlite3_column_int(s, c)));
            else
                addColumn(writer, s, c);
        }
        writer.endRow();
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        return { QStringLiteral("ライブラリを読めません：")
            + QString::fromUtf8(sqlite3_errstr(rc)) };
    if (!ok || !writer.flush() || !flushToDisk(file))
        return { path + QStringLiteral(" を書き込めません") };
    return {};
}

// Writes files[i] for each i in `which`, each beside its final path, stopping at the first
// failure.
Status writeCsvFiles(sqlite3 *db, const QList<CsvFile> &files, const QStringList &paths,
    const QList<qsizetype> &which, std::vector<QFile> &parts)
{
    Status status;
    for (const qsizetype i : which) {
        if (!status.ok())
            break;
        status = writeCsv(db, paths[i], files[i], parts[i]);
        parts[i].close();
    }
    return status;
}

// Every file of the set is written beside its old one first; only when all are complete
// are they renamed into place, one rename after the other (microseconds in all). A
// failure or a kill before the renames leaves the old set whole. With a second connection
// the payouts, the largest file, are written on a thread of their own beside the rest.
Status writeCsvSet(sqlite3 *db, sqlite3 *second, const QString &folder)
{
    const QList<CsvFile> files = csvFiles();
    std::vector<QFile> parts(files.size());
    QStringList paths;
    QList<qsizetype> here, beside;
    for (qsizetype i = 0; i < files.size(); ++i) {
        paths.append(folder + u'/' + QString::fromLatin1(files[i].name));
        (second && files[i].payoutsLast ? beside : here).append(i);
    }
    Status besideStatus;
    std::thread thread;
    if (!beside.isEmpty())
        thread = std::thread(
            [&] { besideStatus = writeCsvFiles(second, files, paths, beside, parts); });
    Status status = writeCsvFiles(db, files, paths, here, parts);
    if (thread.joinable())
        thread.join();
    if (status.ok())
        status = besideStatus;
    for (qsizetype i = 0; i < paths.size() && status.ok(); ++i) {
        if (!renameOver(parts[i].fileName(), paths[i]))
            status = { paths[i] + QStringLiteral(" を書き込めません") };
    }
    for (QFile &part : parts) {
        if (!status.ok() && !part.fileName().isEmpty())
            part.remove();
    }
    return status;
}

// Begins a read transaction that has read the database, so that its state is fixed.
bool beginRead(sqlite3 *db)
{
    return sqlite3_exec(db, "BEGIN; SELECT count(*) FROM days;", nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

} // namespace

Status exportLibrary(Library &library, const QString &folder)
{
    sqlite3 *handle = library.connection();
    if (!handle) {
        const Status opened = library.open();
        return opened.ok() ? Status { QStringLiteral("ライブラリを読めません") } : opened;
    }
    if (!QDir().mkpath(folder))
        return { folder + QStringLiteral(" を作成できません") };
    // One state of the library in every file, even while another program imports: the
    // connections' read transactions begin while writers are held off. When they cannot
    // be (a writer keeps the lock, a folder nobody may write), one connection writes all.
    SqliteConnection second;
    bool twoConnections = false;
    if (library.holdWriters(0)) {
        twoConnections = second.open(library.indexPath(), SqliteConnection::Mode::ReadWrite,
                             Library::BusyTimeoutMs)
            && beginRead(handle) && beginRead(second.handle());
        library.releaseWriters();
    }
    if (!twoConnections) {
        sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
    }
    const Status status = writeCsvSet(handle, twoConnections ? second.handle() : nullptr, folder);
    sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    if (twoConnections)
        sqlite3_exec(second.handle(), "COMMIT", nullptr, nullptr, nullptr);
    return status;
}

} // namespace rusena::library
