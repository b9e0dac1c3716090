#pragma once

// A programme race with each entrant's form from the result days before its date: the
// 出走表 window and `rusena-library form` ask this one query.

#include "library/queryresult.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QSqlDatabase;

namespace rusena::library {

/// One race of a programme day as the library keeps it.
struct ProgrammeRaceInfo final {
    QDate date;
    int venueCode = 0;
    int race = 0;
    QString meetingTitle;
    QString meetingDay;
    QString raceName;
    bool fixedEntry = false;
    QString distance;
    QString deadline;
};

/// An entrant row of the programme, its figures as printed.
struct ProgrammeEntrant final {
    QString boat, reg, name, age, branch, weight, grade;
    QString nationalWinRate, nationalTop2Rate, localWinRate, localTop2Rate;
    QString motor, motorTop2Rate, boatNumber, boatTop2Rate;
    QString meetingResults, earlyRace;
};

/// An entrant's form over his starts before the programme's date (a start: a placing row
/// with a course 1..6 in a race that was not void), most recent first.
struct EntrantForm final {
    qint64 starts = 0;
    qint64 first = 0;
    qint64 second = 0;
    qint64 third = 0;
    qint64 points = 0; ///< placingPoints() summed
    qint64 startSumHundredths = 0;
    qint64 plainStarts = 0;
    qint64 courseStarts = 0; ///< starts from the course of his boat number
    qint64 courseWins = 0;
    QStringList recent; ///< placing marks of the ten most recent starts, newest first

    QString winRate() const;
    QString top2Rate() const;
    QString averageStart() const;
    QString pointsAverage() const;
};

struct ProgrammeRaceForm final {
    ProgrammeRaceInfo race;
    QList<ProgrammeEntrant> entrants; ///< in the file's order
    QList<EntrantForm> forms; ///< one an entrant
};

/// How many starts the form counts; nothing for all of them.
using StartWindow = std::optional<int>;
inline constexpr int MaxStartWindow = 1000;
inline constexpr int RecentPlacings = 10;

/// The race `race` of venue `venueCode` on the programme day `date`, with the form of its
/// entrants over (the last `window` of) their starts on result days before `date`. An
/// empty result with no error when the library holds no such race.
QueryResult<std::optional<ProgrammeRaceForm>> queryProgrammeRace(
    const QSqlDatabase &db, const QDate &date, int venueCode, int race, StartWindow window = {});

/// The venues and races of a programme day, by venue code: the races each holds.
QueryResult<QList<std::pair<int, QList<int>>>> queryProgrammeRaces(
    const QSqlDatabase &db, const QDate &date);

/// How a race of a result day went for each boat, to stand beside its programme.
struct RaceOutcome final {
    struct Boat final {
        QString placing; ///< as written: "01", "F", "K0"
        QString course; ///< "" for a boat that did not start
        QString start; ///< as written: "0.27", "F0.04"
    };
    QString technique;
    bool isVoid = false;
    QHash<QString, Boat> boats; ///< by boat number "1".."6"
};

/// The race's result, or nothing when the library holds no result of it.
QueryResult<std::optional<RaceOutcome>> queryRaceOutcome(
    const QSqlDatabase &db, const QDate &date, int venueCode, int race);

/// A programme race a player is entered in.
struct EntryRef final {
    QDate date;
    int venueCode = 0;
    int race = 0;
    QString boat;
    QString deadline;
};

/// The races of the programme day `date` that the player `reg` is entered in, by venue
/// code and race.
QueryResult<QList<EntryRef>> queryEntries(
    const QSqlDatabase &db, const QString &reg, const QDate &date);

/// The dates of the stored programme days, newest first.
QueryResult<QList<QDate>> queryProgrammeDates(const QSqlDatabase &db);

/// The columns of `rusena-library form` and the fields of one entrant.
QStringList formCsvHeader();
QStringList formCsvFields(const ProgrammeEntrant &entrant, const EntrantForm &form);

} // namespace rusena::library
