#pragma once

#include <QString>

#include <array>

namespace rusena {

/// The race on show. By-course arrays are indexed by entry course 1..6, RowCourses by
/// placing row 1..6, TopBoats by place 1..3, RaceLines by block line 1..30; index 0 of
/// every array is unused.
struct RaceState final {
    static constexpr int MaxRaceLines = 30;

    std::array<QString, MaxRaceLines + 1> raceLines;
    int raceLineCount = 0;
    QString raceText;

    QString meetingTitle;
    QString raceHeading;
    QString meetingYear;
    QString meetingMonth;
    QString meetingDayOfMonth;
    QString meetingDate;
    QString meetingDayNumber;

    std::array<QString, 7> rowCourses;
    std::array<QString, 7> placingCodes;
    std::array<QString, 7> boatNumbers;
    std::array<QString, 7> playerNames;
    std::array<QString, 7> exhibitionTimes;
    std::array<QString, 7> startTimings;
    std::array<QString, 7> raceTimes;
    std::array<QString, 4> topBoats;
    QString accidentText;
    QString techniqueCode;
};

/// Empties every field but RaceLines and RaceLineCount.
void clearRaceState(RaceState &state);

} // namespace rusena
