#include "indexwriter.h"

#include "archivereader.h"
#include "programmewriter.h"
#include "racekey.h"
#include "schema.h"
#include "sqlitebind.h"

#include <sqlite3.h>

namespace rusena::library {

// A race block is far more than a byte of its day's file.
static_assert(MaxDayBytes <= RaceSeqLimit);

namespace {

// The monthly (YYYY-MM) and the yearly (YYYY) roll-ups are kept alike: a row of TABLE, keyed
// by KEY, the first CHARS characters of a date, is the sum of its days' rows. Days are added
// from the writer's tally (RollUpTally) and taken out by reading back their summary rows.
#define ADD_COURSES(TABLE)                                                                         \
    "INSERT INTO " TABLE " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO UPDATE SET"  \
    " starts = starts + excluded.starts, first = first + excluded.first,"                          \
    " second = second + excluded.second, third = third + excluded.third,"                          \
    " fourth = fourth + excluded.fourth, fifth = fifth + excluded.fifth,"                          \
    " sixth = sixth + excluded.sixth, start_sum_cs = start_sum_cs + excluded.start_sum_cs,"        \
    " plain_starts = plain_starts + excluded.plain_starts"
#define ADD_TECHNIQUES(TABLE)                                                                      \
    "INSERT INTO " TABLE " VALUES (?, ?, ?, ?) ON CONFLICT DO UPDATE SET"                          \
    " races = races + excluded.races"
#define TAKE_COURSES(TABLE, KEY, CHARS)                                                            \
    "UPDATE " TABLE " SET starts = " TABLE ".starts - d.starts,"                                   \
    " first = " TABLE ".first - d.first, second = " TABLE ".second - d.second,"                    \
    " third = " TABLE ".third - d.third, fourth = " TABLE ".fourth - d.fourth,"                    \
    " fifth = " TABLE ".fifth - d.fifth, sixth = " TABLE ".sixth - d.sixth,"                       \
    " start_sum_cs = " TABLE ".start_sum_cs - d.start_sum_cs,"                                     \
    " plain_starts = " TABLE ".plain_starts - d.plain_starts"                                      \
    " FROM course_stats d WHERE d.date = ?1 AND " TABLE "." KEY " = substr(?1, 1, " CHARS ")"      \
    " AND " TABLE ".venue_code = d.venue_code AND " TABLE ".course = d.course",                    \
        "DELETE FROM " TABLE " WHERE " KEY " = substr(?1, 1, " CHARS ") AND starts = 0"
#define TAKE_TECHNIQUES(TABLE, KEY, CHARS)                                                         \
    "UPDATE " TABLE " SET races = " TABLE ".races - d.races"                                       \
    " FROM technique_counts d WHERE d.date = ?1 AND " TABLE "." KEY " = substr(?1, 1, " CHARS      \
    ") AND " TABLE ".venue_code = d.venue_code AND " TABLE ".technique = d.technique",             \
        "DELETE FROM " TABLE " WHERE " KEY " = substr(?1, 1, " CHARS ") AND races = 0"

// In the order of IndexWriter::Statement.
constexpr std::array<const char *, 11> StatementSql {
    "INSERT INTO days (date, file, stored_name, size, bytes_digest, venues, races)"
    " VALUES (?, ?, ?, ?, ?, ?, ?)",
    "INSERT INTO sections (date, venue_code, seq, title) VALUES (?, ?, ?, ?)",
    "INSERT INTO races (date, venue_code, race, seq, heading, fixed_entry, distance_m, weather,"
    " wind_direction, wind_m, wave_cm, technique, void, payouts, id)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    "INSERT INTO course_stats (date, venue_code, course, starts, first, second, third, fourth,"
    " fifth, sixth, start_sum_cs, plain_starts) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    "INSERT INTO technique_counts (date, venue_code, technique, races) VALUES (?, ?, ?, ?)",
    "SELECT 1 FROM days WHERE date = ?",
    ADD_COURSES("course_months"),
    ADD_TECHNIQUES("technique_months"),
    ADD_COURSES("course_years"),
    ADD_TECHNIQUES("technique_years"),
    "INSERT INTO players (reg, name, first_date, last_date, entry_rows, starts)"
    " VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT DO UPDATE SET"
    " first_date = min(first_date, excluded.first_date),"
    " last_date = max(last_date, excluded.last_date),"
    " entry_rows = entry_rows + excluded.entry_rows, starts = starts + excluded.starts",
};

// Takes a stored day out of the roll-ups, then out of the tables. A player whose first or
// last day it was gets a placeholder there, which the day written in its place mends
// where he is in it again (see FixPlayersSql).
constexpr std::array<const char *, 15> RemoveSql {
    TAKE_COURSES("course_months", "month", "7"),
    TAKE_TECHNIQUES("technique_months", "month", "7"),
    TAKE_COURSES("course_years", "year", "4"),
    TAKE_TECHNIQUES("technique_years", "year", "4"),
    "UPDATE players SET entry_rows = players.entry_rows - d.n, starts = players.starts - d.s,"
    " first_date = CASE players.first_date WHEN ?1 THEN '9999-99-99' ELSE players.first_date"
    " END, last_date = CASE players.last_date WHEN ?1 THEN '' ELSE players.last_date END"
    " FROM (SELECT e.reg, e.name, count(*) AS n,"
    " coalesce(sum(r.void = 0 AND e.course BETWEEN 1 AND 6), 0) AS s"
    " FROM races r JOIN entries e ON e.race_id = r.id WHERE r.date = ?1"
    " GROUP BY e.reg, e.name) d WHERE players.reg = d.reg AND players.name = d.name",
    "DELETE FROM course_stats WHERE date = ?1",
    "DELETE FROM technique_counts WHERE date = ?1",
    "DELETE FROM entries WHERE race_id IN (SELECT id FROM races WHERE date = ?1)",
    "DELETE FROM races WHERE date = ?1",
    "DELETE FROM sections WHERE date = ?1",
    "DELETE FROM days WHERE date = ?1",
};

#undef ADD_COURSES
#undef ADD_TECHNIQUES
#undef TAKE_COURSES
#undef TAKE_TECHNIQUES

// After a replaced day is written: the players who were in it and are not any more lose
// their placeholders to the first and last day they still have, or go with their last row.
constexpr std::array<const char *, 2> FixPlayersSql {
    "DELETE FROM players WHERE entry_rows = 0",
    "UPDATE players SET (first_date, last_date) = (SELECT min(r.date), max(r.date)"
    " FROM entries e JOIN races r ON r.id = e.race_id"
    " WHERE e.reg = players.reg AND e.name = players.name)"
    " WHERE first_date = '9999-99-99' OR last_date = ''",
};

// A number where the text is one (an empty field or a mark is NULL).
void bindNumber(sqlite3_stmt *s, int index, QStringView text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        sqlite3_bind_int64(s, index, value);
    else
        sqlite3_bind_null(s, index);
}

// Registration numbers are kept as integers; a field that is not one keeps its text.
void bindInteger(sqlite3_stmt *s, int index, QStringView text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        sqlite3_bind_int64(s, index, value);
    else
        bindText(s, index, text);
}

void bindPositive(sqlite3_stmt *s, int index, int value)
{
    if (value > 0)
        sqlite3_bind_int(s, index, value);
    else
        sqlite3_bind_null(s, index);
}

// A row of course_stats or of its roll-ups: the day (or month, or year), venue and course,
// then the counts.
void bindCourseRow(sqlite3_stmt *s, QStringView when, int venue, int course, const CourseSummary &c)
{
    bindText(s, 1, when);
    int column = 2;
    for (const int value :
        { venue, course, c.starts, c.first, c.second, c.third, c.fourth, c.fifth, c.sixth })
        sqlite3_bind_int(s, column++, value);
    sqlite3_bind_int64(s, column++, c.startSumCs);
    sqlite3_bind_int(s, column, c.plainStarts);
}

void bindEntry(
    sqlite3_stmt *s, int first, sqlite3_int64 raceId, int seq, const layout::PlacingRow &row)
{
    sqlite3_bind_int64(s, first, raceId);
    sqlite3_bind_int(s, first + 1, seq);
    bindText(s, first + 2, row.placing);
    bindPositive(s, first + 3, row.rank());
    bindText(s, first + 4, row.boat);
    bindInteger(s, first + 5, row.reg);
    bindText(s, first + 6, row.name);
    bindText(s, first + 7, row.motor);
    bindText(s, first + 8, row.boatNumber);
    bindText(s, first + 9, row.exhibition);
    bindNumber(s, first + 10, row.course);
    bindText(s, first + 11, row.start);
    bindText(s, first + 12, row.raceTime);
}

} // namespace

IndexWriter::IndexWriter(sqlite3 *db)
    : m_db(db)
    , m_entries("entries",
          "(race_id, seq, placing, rank, boat, reg, name, motor, boat_no, exhibition,"
          " course, start, race_time)")
    , m_programmes(std::make_unique<ProgrammeWriter>(db))
{
}

IndexWriter::~IndexWriter()
{
    for (sqlite3_stmt *s : m_statements)
        sqlite3_finalize(s);
}

bool IndexWriter::fail()
{
    const int code = sqlite3_extended_errcode(m_db) & 0xff;
    m_busy = code == SQLITE_BUSY || code == SQLITE_LOCKED;
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

bool IndexWriter::prepare()
{
    if (m_statements[0])
        return true;
    static_assert(StatementSql.size() == Count);
    for (int i = 0; i < Count; ++i) {
        if (sqlite3_prepare_v3(
                m_db, StatementSql[i], -1, SQLITE_PREPARE_PERSISTENT, &m_statements[i], nullptr)
            != SQLITE_OK)
            return fail();
    }
    return true;
}

bool IndexWriter::exec(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail();
}

bool IndexWriter::step(sqlite3_stmt *statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE || fail();
}

bool IndexWriter::replaceDay(const DayRecord &record, const DayRows &rows)
{
    const QString date = record.date.toString(Qt::ISODate);
    if (!settleGroup(date))
        return false;
    return replace([&] {
        bool replaced = false;
        return removeDay(date, replaced) && writeDay(record, rows)
            && (!replaced || fixPlayers(date));
    });
}

bool IndexWriter::replaceProgramme(const DayRecord &record, const ParsedProgramme &day)
{
    return replace([&] {
        return (m_programmes->remove(record.date.toString(Qt::ISODate))
                   && m_programmes->write(record, day))
            || fail();
    });
}

bool IndexWriter::replace(const std::function<bool()> &work)
{
    m_error.clear();
    m_busy = false;
    // Inside a group each day is a savepoint: a day that fails leaves the others in.
    const char *begin = m_inGroup ? "SAVEPOINT day" : "BEGIN IMMEDIATE";
    const char *end = m_inGroup ? "RELEASE day" : "COMMIT";
    if (!prepare() || !exec(begin))
        return false;
    // A day alone counts its players and adds to the roll-ups in its own commit; a group's
    // days do so at the group's commit, each player and roll-up row once.
    m_daySummary = nullptr;
    const bool written = work() && (m_inGroup || writeDayTallies()) && exec(end);
    if (written && m_inGroup && m_daySummary) {
        m_groupPlayers.add(m_dayDate, m_daySummary->players);
        m_groupRollUps.add(m_dayDate, *m_daySummary);
    }
    m_daySummary = nullptr;
    if (written)
        return true;
    if (m_inGroup)
        undo({ "ROLLBACK TO day", "RELEASE day" });
    else
        undo({ "ROLLBACK" });
    return false;
}

void IndexWriter::undo(std::initializer_list<const char *> statements)
{
    // Not through exec(): the failure that led here stays the one error() reports.
    for (const char *sql : statements)
        sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

bool IndexWriter::forgetDay(const QDate &date, DayKind kind)
{
    m_error.clear();
    m_busy = false;
    if (kind == DayKind::Programme)
        return prepare() && (m_programmes->remove(date.toString(Qt::ISODate)) || fail());
    // The players the day named keep their first and last days from the days left.
    const QString key = date.toString(Qt::ISODate);
    bool removed = false;
    return prepare() && settleGroup(key) && removeDay(key, removed)
        && (!removed || fixPlayers(key));
}

bool IndexWriter::beginGroup()
{
    m_error.clear();
    m_busy = false;
    if (m_inGroup || !exec("BEGIN IMMEDIATE"))
        return false;
    m_inGroup = true;
    return true;
}

bool IndexWriter::commitGroup()
{
    if (!m_inGroup)
        return true;
    m_inGroup = false;
    const bool counted = writeGroupPlayers() && writeRollUps(m_groupRollUps);
    m_groupPlayers.clear();
    m_groupRollUps.clear();
    if (counted && exec("COMMIT"))
        return true;
    undo({ "ROLLBACK" });
    return false;
}

void IndexWriter::rollbackGroup()
{
    if (!m_inGroup)
        return;
    m_inGroup = false;
    m_groupPlayers.clear();
    m_groupRollUps.clear();
    undo({ "ROLLBACK" });
}

bool IndexWriter::execForDay(const char *sql, const QString &date)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK)
        return fail();
    bindText(s, 1, date);
    const int rc = sqlite3_step(s);
    sqlite3_finalize(s);
    return rc == SQLITE_DONE || fail();
}

bool IndexWriter::dayExists(const QString &date, bool &exists)
{
    sqlite3_stmt *s = m_statements[FindDay];
    bindText(s, 1, date);
    const int found = sqlite3_step(s);
    sqlite3_reset(s);
    exists = found == SQLITE_ROW;
    return found == SQLITE_ROW || found == SQLITE_DONE || fail();
}

bool IndexWriter::removeDay(const QString &date, bool &removed)
{
    // A day's rows are written with its row of days, in one transaction: without that row
    // there is nothing to remove. A batch into an empty library (its indexes made after
    // the rows) would otherwise scan the races for every day.
    if (!dayExists(date, removed))
        return false;
    if (!removed)
        return true;
    for (const char *sql : RemoveSql) {
        if (!execForDay(sql, date))
            return false;
    }
    return true;
}

bool IndexWriter::fixPlayers(const QString &date)
{
    for (const char *sql : FixPlayersSql) {
        if (!execForDay(sql, date))
            return false;
    }
    return true;
}

bool IndexWriter::writeDay(const DayRecord &record, const DayRows &rows)
{
    const ParsedDay &day = rows.day;
    const QString date = record.date.toString(Qt::ISODate);
    sqlite3_stmt *s = m_statements[InsertDay];
    bindDayRecord(s, record, date, day.sections.size(), day.races.size());
    if (!step(s))
        return false;
    s = m_statements[InsertSection];
    for (int seq = 0; seq < day.sections.size(); ++seq) {
        bindText(s, 1, date);
        sqlite3_bind_int(s, 2, day.sections[seq].venueCode);
        sqlite3_bind_int(s, 3, seq);
        bindText(s, 4, day.sections[seq].title);
        if (!step(s))
            return false;
    }
    for (int seq = 0; seq < day.races.size(); ++seq) {
        const ParsedRace &race = day.races[seq];
        const qint64 id = raceKey(record.date, race.venueCode, race.race, seq);
        if (!writeRace(date, id, seq, race, rows.payouts.at(seq)))
            return false;
    }
    return writeSummary(date, rows.summary);
}

bool IndexWriter::writeSummary(const QString &date, const DaySummary &summary)
{
    sqlite3_stmt *s = m_statements[InsertCourseStats];
    for (const CourseSummary &c : summary.courses) {
        bindCourseRow(s, date, c.venueCode, c.course, c);
        if (!step(s))
            return false;
    }
    s = m_statements[InsertTechniqueCount];
    for (const TechniqueSummary &t : summary.techniques) {
        bindText(s, 1, date);
        sqlite3_bind_int(s, 2, t.venueCode);
        bindText(s, 3, t.technique);
        sqlite3_bind_int(s, 4, t.races);
        if (!step(s))
            return false;
    }
    m_dayDate = date;
    m_daySummary = &summary;
    return true;
}

bool IndexWriter::writeRollUps(const RollUpTally &tally)
{
    return writeRollUps(tally.months(), AddCourseMonth, AddTechniqueMonth)
        && writeRollUps(tally.years(), AddCourseYear, AddTechniqueYear);
}

bool IndexWriter::writeRollUps(
    const RollUpTally::Period &period, Statement courses, Statement techniques)
{
    sqlite3_stmt *s = m_statements[courses];
    for (const auto &[key, c] : period.courses) {
        const auto &[when, venue, course] = key;
        bindCourseRow(s, when, venue, course, c);
        if (!step(s))
            return false;
    }
    s = m_statements[techniques];
    for (const auto &[key, races] : period.techniques) {
        const auto &[when, venue, technique] = key;
        bindText(s, 1, when);
        sqlite3_bind_int(s, 2, venue);
        bindText(s, 3, technique);
        sqlite3_bind_int(s, 4, races);
        if (!step(s))
            return false;
    }
    return true;
}

bool IndexWriter::writeDayTallies()
{
    if (!m_daySummary)
        return true; // a programme day
    RollUpTally day;
    day.add(m_dayDate, *m_daySummary);
    return writeDayPlayers() && writeRollUps(day);
}

bool IndexWriter::upsertPlayer(QStringView reg, QStringView name, QStringView firstDate,
    QStringView lastDate, qint64 rows, qint64 starts)
{
    sqlite3_stmt *s = m_statements[UpsertPlayer];
    bindText(s, 1, reg);
    bindText(s, 2, name);
    bindText(s, 3, firstDate);
    bindText(s, 4, lastDate);
    sqlite3_bind_int64(s, 5, rows);
    sqlite3_bind_int64(s, 6, starts);
    return step(s);
}

bool IndexWriter::writeDayPlayers()
{
    for (const PlayerSummary &p : m_daySummary->players) {
        if (!upsertPlayer(p.reg, p.name, m_dayDate, m_dayDate, p.rows, p.starts))
            return false;
    }
    return true;
}

bool IndexWriter::writeGroupPlayers()
{
    for (const PlayerTally::Entry *player : m_groupPlayers.sorted()) {
        const auto &[key, sums] = *player;
        if (!upsertPlayer(
                key.first, key.second, sums.firstDate, sums.lastDate, sums.rows, sums.starts))
            return false;
    }
    m_groupPlayers.clear();
    return true;
}

bool IndexWriter::settleGroup(const QString &date)
{
    bool exists = false;
    if (!m_inGroup || (m_groupPlayers.isEmpty() && m_groupRollUps.isEmpty()))
        return true;
    if (!prepare() || !dayExists(date, exists))
        return false;
    if (!exists)
        return true;
    // In a savepoint of its own: a failure leaves the tallies to be written at the commit.
    if (!exec("SAVEPOINT settle"))
        return false;
    PlayerTally kept = m_groupPlayers;
    if (writeGroupPlayers() && writeRollUps(m_groupRollUps) && exec("RELEASE settle")) {
        m_groupRollUps.clear();
        return true;
    }
    m_groupPlayers = std::move(kept);
    undo({ "ROLLBACK TO settle", "RELEASE settle" });
    return false;
}

bool IndexWriter::writeRace(
    const QString &date, qint64 raceId, int seq, const ParsedRace &race, const QString &payouts)
{
    sqlite3_stmt *s = m_statements[InsertRace];
    const RaceLabel &label = race.label;
    bindText(s, 1, date);
    sqlite3_bind_int(s, 2, race.venueCode);
    sqlite3_bind_int(s, 3, race.race);
    sqlite3_bind_int(s, 4, seq);
    bindText(s, 5, label.heading);
    sqlite3_bind_int(s, 6, label.fixedEntry ? 1 : 0);
    bindText(s, 7, label.distance);
    bindText(s, 8, label.weather);
    bindText(s, 9, label.windDirection);
    bindText(s, 10, label.windSpeed);
    bindText(s, 11, label.wave);
    bindText(s, 12, race.technique);
    sqlite3_bind_int(s, 13, race.isVoid ? 1 : 0);
    bindText(s, 14, payouts);
    sqlite3_bind_int64(s, 15, raceId);
    if (!step(s))
        return false;
    return writeEntries(raceId, race.entries);
}

bool IndexWriter::writeEntries(qint64 raceId, const QList<layout::PlacingRow> &rows)
{
    for (int first = 0; first < rows.size(); first += MultiRowInsert::MaxRows) {
        const int count = int(std::min<qsizetype>(MultiRowInsert::MaxRows, rows.size() - first));
        sqlite3_stmt *s = m_entries.forRows(m_db, count);
        if (!s)
            return fail();
        for (int i = 0; i < count; ++i)
            bindEntry(s, 1 + i * m_entries.columnCount(), raceId, first + i, rows[first + i]);
        if (!step(s))
            return false;
    }
    return true;
}

} // namespace rusena::library
