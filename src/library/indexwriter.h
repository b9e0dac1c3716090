#pragma once

#include "daykind.h"
#include "dayrows.h"
#include "multirowinsert.h"
#include "playertally.h"
#include "programmeparser.h"
#include "rolluptally.h"

#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace rusena::library {

class ProgrammeWriter;

/// The row of `days` for one stored day.
struct DayRecord final {
    QDate date;
    QString file; ///< the base name the day came from
    QString storedName;
    qint64 size = 0;
    QString digest; ///< dayDigest() of its bytes
};

/// Writes parsed days into the index with statements prepared once. Each day goes in one
/// transaction of its own (or one savepoint of a group), so that a process killed
/// half-way leaves the day whole or absent. Talks to SQLite directly: a day is some 3000 rows and
/// this runs for every day of an import or a rebuild.
class IndexWriter final {
public:
    explicit IndexWriter(sqlite3 *db);
    ~IndexWriter();
    IndexWriter(const IndexWriter &) = delete;
    IndexWriter &operator=(const IndexWriter &) = delete;

    /// Replaces the day (removes any earlier version) in one transaction. False on any
    /// failure, the index then being as it was; error() says why.
    bool replaceDay(const DayRecord &record, const DayRows &rows);
    /// Removes the day's rows of that kind (inside a group: with the group). False on
    /// failure.
    bool forgetDay(const QDate &date, DayKind kind = DayKind::Result);
    /// The same for a programme day (its own tables; a result day of the date stays).
    bool replaceProgramme(const DayRecord &record, const ParsedProgramme &day);
    /// Opens a group: the days replaced until commitGroup() reach the index together, in
    /// one commit (each still whole or absent). A batch writes each index page once a
    /// group instead of once a day. False when the write lock cannot be had.
    bool beginGroup();
    /// Commits the group; false (the group's days then absent) when that fails.
    bool commitGroup();
    /// Drops the group's days: none of them reaches the index.
    void rollbackGroup();
    bool inGroup() const { return m_inGroup; }

    QString error() const { return m_error; }
    /// True when the last failure was another process holding the lock too long.
    bool wasBusy() const { return m_busy; }

private:
    enum Statement {
        InsertDay,
        InsertSection,
        InsertRace,
        InsertCourseStats,
        InsertTechniqueCount,
        FindDay,
        AddCourseMonth,
        AddTechniqueMonth,
        AddCourseYear,
        AddTechniqueYear,
        UpsertPlayer,
        Count
    };

    bool prepare();
    bool replace(const std::function<bool()> &work);
    bool exec(const char *sql);
    /// Runs the statements that undo a failed step, whatever they answer.
    void undo(std::initializer_list<const char *> statements);
    bool step(sqlite3_stmt *statement);
    bool execForDay(const char *sql, const QString &date);
    /// Takes the day out of the index; `removed` says whether it was there.
    bool removeDay(const QString &date, bool &removed);
    bool fixPlayers(const QString &date);
    bool writeDay(const DayRecord &record, const DayRows &rows);
    bool writeRace(const QString &date, qint64 raceId, int seq, const ParsedRace &race,
        const QString &payouts);
    bool writeEntries(qint64 raceId, const QList<layout::PlacingRow> &rows);
    bool writeSummary(const QString &date, const DaySummary &summary);
    bool upsertPlayer(QStringView reg, QStringView name, QStringView firstDate,
        QStringView lastDate, qint64 rows, qint64 starts);
    /// Writes the group's players into the players table and empties the tally.
    bool writeGroupPlayers();
    bool writeDayPlayers();
    /// Adds the tally to the monthly and yearly roll-ups.
    bool writeRollUps(const RollUpTally &tally);
    bool writeRollUps(const RollUpTally::Period &period, Statement courses, Statement techniques);
    /// A day alone: its players and roll-ups, in its own transaction.
    bool writeDayTallies();
    /// Before a day of a group is taken out: the players table and the roll-ups must then
    /// hold the group's days written so far, which the removal subtracts from.
    bool settleGroup(const QString &date);
    bool dayExists(const QString &date, bool &exists);
    bool fail();

    sqlite3 *m_db = nullptr;
    std::array<sqlite3_stmt *, Count> m_statements {};
    MultiRowInsert m_entries;
    std::unique_ptr<ProgrammeWriter> m_programmes;
    QString m_error;
    bool m_busy = false;
    bool m_inGroup = false;
    QString m_dayDate; ///< the result day under way and its summary (players included)
    const DaySummary *m_daySummary = nullptr;
    PlayerTally m_groupPlayers; ///< the group's days written so far
    RollUpTally m_groupRollUps;
};

} // namespace rusena::library
