#include "programmewriter.h"

#include "indexwriter.h"
#include "sqlitebind.h"

#include <sqlite3.h>

#include <algorithm>

namespace rusena::library {

namespace {

using programmelayout::EntrantRow;

// In the order of ProgrammeWriter::Statement.
constexpr std::array<const char *, 3> StatementSql {
    "INSERT INTO programme_days (date, file, stored_name, size, bytes_digest, venues, races)"
    " VALUES (?, ?, ?, ?, ?, ?, ?)",
    "INSERT INTO programme_races (date, venue_code, race, seq, meeting_title, meeting_day,"
    " race_name, fixed_entry, distance_m, deadline) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    "SELECT 1 FROM programme_days WHERE date = ?",
};

constexpr std::array<const char *, 3> RemoveSql {
    "DELETE FROM programme_entries WHERE race_id IN"
    " (SELECT id FROM programme_races WHERE date = ?1)",
    "DELETE FROM programme_races WHERE date = ?1",
    "DELETE FROM programme_days WHERE date = ?1",
};

void bindEntrant(sqlite3_stmt *s, int first, sqlite3_int64 raceId, int seq, const EntrantRow &row)
{
    sqlite3_bind_int64(s, first, raceId);
    sqlite3_bind_int(s, first + 1, seq);
    int column = first + 2;
    for (const QStringView text : { row.boat, row.reg, row.name, row.age, row.branch, row.weight,
             row.grade, row.nationalWinRate, row.nationalTop2Rate, row.localWinRate,
             row.localTop2Rate, row.motor, row.motorTop2Rate, row.boatNumber, row.boatTop2Rate,
             row.meetingResults, row.earlyRace })
        bindText(s, column++, text);
}

} // namespace

ProgrammeWriter::ProgrammeWriter(sqlite3 *db)
    : m_db(db)
    , m_entrants("programme_entries",
          "(race_id, seq, boat, reg, name, age, branch, weight_kg, class, national_win_rate,"
          " national_top2_rate, local_win_rate, local_top2_rate, motor, motor_top2_rate,"
          " boat_no, boat_top2_rate, meeting_results, early_race)")
{
}

ProgrammeWriter::~ProgrammeWriter()
{
    for (sqlite3_stmt *s : m_statements)
        sqlite3_finalize(s);
}

bool ProgrammeWriter::prepare()
{
    if (m_statements[0])
        return true;
    for (int i = 0; i < Count; ++i) {
        if (sqlite3_prepare_v3(
                m_db, StatementSql[i], -1, SQLITE_PREPARE_PERSISTENT, &m_statements[i], nullptr)
            != SQLITE_OK)
            return false;
    }
    return true;
}

bool ProgrammeWriter::step(sqlite3_stmt *statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE;
}

bool ProgrammeWriter::remove(const QString &date)
{
    if (!prepare())
        return false;
    sqlite3_stmt *s = m_statements[FindDay];
    bindText(s, 1, date);
    const int found = sqlite3_step(s);
    sqlite3_reset(s);
    if (found != SQLITE_ROW)
        return found == SQLITE_DONE;
    for (const char *sql : RemoveSql) {
        s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK)
            return false;
        bindText(s, 1, date);
        const int rc = sqlite3_step(s);
        sqlite3_finalize(s);
        if (rc != SQLITE_DONE)
            return false;
    }
    return true;
}

bool ProgrammeWriter::write(const DayRecord &record, const ParsedProgramme &day)
{
    if (!prepare())
        return false;
    const QString date = record.date.toString(Qt::ISODate);
    sqlite3_stmt *s = m_statements[InsertDay];
    bindDayRecord(s, record, date, day.sections.size(), day.races.size());
    if (!step(s))
        return false;
    for (int seq = 0; seq < day.races.size(); ++seq) {
        if (!writeRace(date, seq, day, day.races[seq]))
            return false;
    }
    return true;
}

bool ProgrammeWriter::writeRace(
    const QString &date, int seq, const ParsedProgramme &day, const ProgrammeRace &race)
{
    const ProgrammeSection &section = day.sections.at(race.section);
    sqlite3_stmt *s = m_statements[InsertRace];
    bindText(s, 1, date);
    sqlite3_bind_int(s, 2, race.venueCode);
    sqlite3_bind_int(s, 3, race.label.race);
    sqlite3_bind_int(s, 4, seq);
    bindText(s, 5, section.title);
    bindText(s, 6, section.meetingDay);
    bindText(s, 7, race.label.name);
    sqlite3_bind_int(s, 8, race.label.fixedEntry ? 1 : 0);
    bindText(s, 9, race.label.distance);
    bindText(s, 10, race.label.deadline);
    if (!step(s))
        return false;
    return writeEntrants(sqlite3_last_insert_rowid(m_db), race.entrants);
}

bool ProgrammeWriter::writeEntrants(qint64 raceId, const QList<EntrantRow> &rows)
{
    for (int first = 0; first < rows.size(); first += MultiRowInsert::MaxRows) {
        const int count = int(std::min<qsizetype>(MultiRowInsert::MaxRows, rows.size() - first));
        sqlite3_stmt *s = m_entrants.forRows(m_db, count);
        if (!s)
            return false;
        for (int i = 0; i < count; ++i)
            bindEntrant(s, 1 + i * m_entrants.columnCount(), raceId, first + i, rows[first + i]);
        if (!step(s))
            return false;
    }
    return true;
}

} // namespace rusena::library
