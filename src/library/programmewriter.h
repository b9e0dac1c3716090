#pragma once

#include "multirowinsert.h"
#include "programmeparser.h"

#include <QString>

#include <array>

struct sqlite3;
struct sqlite3_stmt;

namespace rusena::library {

struct DayRecord;

/// Writes a programme day's rows with statements prepared once; the caller holds the
/// transaction (IndexWriter::replaceProgramme), so that the day goes in whole or not.
class ProgrammeWriter final {
public:
    explicit ProgrammeWriter(sqlite3 *db);
    ~ProgrammeWriter();
    ProgrammeWriter(const ProgrammeWriter &) = delete;
    ProgrammeWriter &operator=(const ProgrammeWriter &) = delete;

    /// Removes the day's rows, if any. False on an SQLite failure.
    bool remove(const QString &date);
    bool write(const DayRecord &record, const ParsedProgramme &day);

private:
    enum Statement { InsertDay, InsertRace, FindDay, Count };

    bool prepare();
    bool step(sqlite3_stmt *statement);
    bool writeRace(
        const QString &date, int seq, const ParsedProgramme &day, const ProgrammeRace &race);
    bool writeEntrants(qint64 raceId, const QList<programmelayout::EntrantRow> &rows);

    sqlite3 *m_db = nullptr;
    std::array<sqlite3_stmt *, Count> m_statements {};
    MultiRowInsert m_entrants;
};

} // namespace rusena::library
