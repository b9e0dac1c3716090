#pragma once

#include "library/period.h"
#include "library/queryresult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QSqlDatabase;

namespace rusena::library {

/// One venue and entry course over a period: its starts (isStart()) and their placings.
struct CourseStats final {
    int venueCode = 0; ///< 0 for every venue together
    int course = 0; ///< 1..6
    qint64 starts = 0;
    qint64 first = 0;
    qint64 second = 0;
    qint64 third = 0;
    qint64 fourth = 0;
    qint64 fifth = 0;
    qint64 sixth = 0;
    qint64 startSumHundredths = 0;
    qint64 plainStarts = 0; ///< starts with a plain timing (no F, L or K)

    /// Starts placed 1st to `n`th (1..3): the numerators of 1着率, 2連対率 and 3連対率.
    qint64 topN(int n) const;
    QString averageStart() const;
    /// Starts without a placing (F, L, K, S ...), each of which scores no points.
    qint64 unplaced() const { return starts - first - second - third - fourth - fifth - sixth; }
    QString pointsAverage() const; ///< 勝率
};

/// A winning technique with the number of races it won; share (a percentage) of all races
/// won with a technique written.
struct TechniqueCount final {
    QString technique;
    qint64 races = 0;
    QString share;
};

struct StatsReport final {
    /// Six rows a venue with a start in the period (ascending code), then six for every
    /// venue together; with a venue chosen, that venue's six rows only.
    QList<CourseStats> courses;
    QList<TechniqueCount> techniques; ///< most frequent first
};

/// The statistics of the period, from the monthly roll-ups and the days at its ends.
QueryResult<StatsReport> queryStats(const QSqlDatabase &db, const Period &period);

/// The columns of `rusena-library stats` and the fields of one row.
QStringList statsCsvHeader();
QStringList statsCsvFields(const CourseStats &row);

} // namespace rusena::library
