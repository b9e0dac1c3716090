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
    /// Written on the second connection, beside the placing rows.
    bool beside = false;
    /// The placing rows: their query takes a stretch of days (?1 to before ?2), so that
    /// both connections can write a part of them.
    bool shared = false;
};

// One connection's share of a file: all of its rows, or the days from `from` to before
// `to`. A share that continues a file another begins writes neither mark nor header.
struct Share final {
    qsizetype file = 0;
    QString from = QStringLiteral("0000-00-00");
    QString to = QStringLiteral("9999-99-99");
    bool continues = false;
};

// The placing rows written on the first connection when both share them: the second
// writes the races and their payouts too, which take some three fifths as long as all
// the placing rows (ten years: 5.3 s against 8.5 s).
constexpr double PlacingRowsFirst = 0.8;

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
            false, 2, true },
        { "entries.csv",
            { u"date"_s, u"venue_code"_s, u"race"_s, u"placing"_s, u"rank"_s, u"boat"_s, u"reg"_s,
                u"name"_s, u"motor"_s, u"boat_no"_s, u"exhibition"_s, u"course"_s, u"start"_s,
                u"race_time"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.race, e.placing, e.rank,"
                           " e.boat, printf('%04d', e.reg), e.name, e.motor, e.boat_no, "
                           "e.exhibition, e.course,"
                           " e.start, e.race_time FROM races r JOIN entries e ON e.race_id = r.id"
                           " WHERE r.date >= ?1 AND r.date < ?2")
                + raceOrder + QStringLiteral(", e.seq"),
            false, -1, false, true },
        { "payouts.csv",
            { u"date"_s, u"venue_code"_s, u"race"_s, u"bet"_s, u"combination"_s, u"yen"_s,
                u"popularity"_s, u"note"_s },
            QStringLiteral("SELECT r.date, printf('%02d', r.venue_code), r.race, r.payouts"
                           " FROM races r")
                + raceOrder,
            true, -1, true },
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

// Writes the share's rows into `file`, a new file beside `path`, and has it reach the disk.
Status writeCsv(
    sqlite3 *db, const QString &path, const CsvFile &csv, const Share &share, QFile &file)
{
    sqlite3_stmt *s = nullptr;
    const QByteArray sql = csv.sql.toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &s, nullptr) != SQLITE_OK)
        return { QStringLiteral("ライブラリを読めません：")
            + QString::fromUtf8(sqlite3_errmsg(db)) };
    if (csv.shared) {
        sqlite3_bind_text16(s, 1, share.from.utf16(), int(share.from.size() * 2), SQLITE_STATIC);
        sqlite3_bind_text16(s, 2, share.to.utf16(), int(share.to.size() * 2), SQLITE_STATIC);
    }
    bool ok = openNewBeside(file, path);
    CsvWriter writer = share.continues ? CsvWriter(file) : CsvWriter(file, csv.header);
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

// Writes shares[i] for each i in `which`, each beside its file's final path, stopping at
// the first failure.
Status writeShares(sqlite3 *db, const QList<CsvFile> &files, const QStringList &paths,
    const QList<Share> &shares, const QList<qsizetype> &which, std::vector<QFile> &parts)
{
    Status status;
    for (const qsizetype i : which) {
        if (!status.ok())
            break;
        const qsizetype file = shares[i].file;
        status = writeCsv(db, paths[file], files[file], shares[i], parts[size_t(i)]);
        parts[size_t(i)].close();
    }
    return status;
}

// Appends the part `tail` to the part `head` and has it reach the disk.
bool appendPart(QFile &head, QFile &tail)
{
    if (!head.open(QIODevice::Append) || !tail.open(QIODevice::ReadOnly))
        return false;
    bool ok = true;
    while (ok && !tail.atEnd()) {
        const QByteArray chunk = tail.read(1 << 20);
        ok = !chunk.isEmpty() && head.write(chunk) == chunk.size();
    }
    ok = ok && flushToDisk(head);
    head.close();
    tail.close();
    return ok;
}

// The first day whose placing rows the second connection writes: the one that leaves
// PlacingRowsFirst of the races before it; empty for none.
QString placingRowsSplit(sqlite3 *db)
{
    sqlite3_stmt *s = nullptr;
    QString split;
    if (sqlite3_prepare_v2(db,
            "SELECT date FROM (SELECT date, sum(races) OVER (ORDER BY date) - races AS before,"
            " sum(races) OVER () AS races FROM days) WHERE before >= races * ?1 AND races > 0"
            " ORDER BY date LIMIT 1",
            -1, &s, nullptr)
        == SQLITE_OK) {
        sqlite3_bind_double(s, 1, PlacingRowsFirst);
        if (sqlite3_step(s) == SQLITE_ROW)
            split = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    return split;
}

// Every file of the set is written beside its old one first; only when all are complete
// are they renamed into place, one rename after the other (microseconds in all). A
// failure or a kill before the renames leaves the old set whole. With a second connection
// the races and their payouts are written on a thread of their own beside the rest, and
// the placing rows of the last days too, appended to the rest of them at the end.
Status writeCsvSet(sqlite3 *db, sqlite3 *second, const QString &folder)
{
    const QList<CsvFile> files = csvFiles();
    const QString split = second ? placingRowsSplit(db) : QString();
    QStringList paths;
    QList<Share> shares;
    QList<qsizetype> here, beside, continued;
    for (qsizetype i = 0; i < files.size(); ++i) {
        paths.append(folder + u'/' + QString::fromLatin1(files[i].name));
        if (files[i].shared && !split.isEmpty()) {
            // The first days here, the last beside, appended to them at the end.
            continued.append(shares.size());
            here.append(shares.size());
            shares.append(Share { i, Share().from, split });
            beside.append(shares.size());
            shares.append(Share { i, split, Share().to, true });
            continue;
        }
        (second && files[i].beside ? beside : here).append(shares.size());
        shares.append(Share { i });
    }
    std::vector<QFile> parts(size_t(shares.size()));
    Status besideStatus;
    std::thread thread;
    if (!beside.isEmpty())
        thread = std::thread(
            [&] { besideStatus = writeShares(second, files, paths, shares, beside, parts); });
    Status status = writeShares(db, files, paths, shares, here, parts);
    if (thread.joinable())
        thread.join();
    if (status.ok())
        status = besideStatus;
    for (const qsizetype i : continued) {
        if (status.ok() && !appendPart(parts[size_t(i)], parts[size_t(i) + 1]))
            status = { paths[shares[i].file] + QStringLiteral(" を書き込めません") };
        parts[size_t(i) + 1].remove();
    }
    for (qsizetype i = 0; i < shares.size() && status.ok(); ++i) {
        if (!shares[i].continues && !renameOver(parts[size_t(i)].fileName(), paths[shares[i].file]))
            status = { paths[shares[i].file] + QStringLiteral(" を書き込めません") };
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
