#pragma once

#include "dayparser.h"

#include <QList>
#include <QString>

namespace rusena::library {

/// A day's starts at one venue from one course, over its races that were not void.
/// A start is a placing row with a course 1..6, whatever its placing mark.
struct CourseSummary final {
    int venueCode = 0;
    int course = 0;
    int starts = 0;
    int first = 0; ///< starts whose rank is 1 (each boat of a dead heat)
    int second = 0;
    int third = 0;
    int fourth = 0;
    int fifth = 0;
    int sixth = 0;
    qint64 startSumCs = 0; ///< sum of the plain timings, in hundredths
    int plainStarts = 0; ///< starts with a plain timing

    friend bool operator==(const CourseSummary &, const CourseSummary &) = default;
};

/// How many of a day's races at one venue, not void, were won by a technique.
struct TechniqueSummary final {
    int venueCode = 0;
    QStringView technique; ///< views the day's text
    int races = 0;

    friend bool operator==(const TechniqueSummary &, const TechniqueSummary &) = default;
};

/// One player under one way of writing his name, over a day: his placing rows, and the
/// starts among them as CourseSummary counts them.
struct PlayerSummary final {
    QStringView reg; ///< views the day's text
    QStringView name;
    int rows = 0;
    int starts = 0;

    friend bool operator==(const PlayerSummary &, const PlayerSummary &) = default;
};

/// What the statistics and the name search need of a day, so that a period sums a few
/// rows a day instead of walking every start. Sorted by venue, then course or technique;
/// players by registration number, then name.
struct DaySummary final {
    QList<CourseSummary> courses;
    QList<TechniqueSummary> techniques;
    QList<PlayerSummary> players;
};

DaySummary summariseDay(const ParsedDay &day);

/// A plain start timing ("0.27") in hundredths (27); -1 for anything else (F0.04, L1.04,
/// K .), which has none.
int plainStartCs(QStringView start);

} // namespace rusena::library
