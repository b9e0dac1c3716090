#pragma once

#include "library/period.h"
#include "library/queryresult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QSqlDatabase;

namespace rusena::library {

/// One venue and entry course over a period. Only races that were not void count; a
/// start is a placing row with a course 1..6 whatever its placing mark.
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

    QString winRate() const;
    QString top2Rate() const;
    QString top3Rate() const;
    QString averageStart() const;
    /// Starts without a placing (F, L, K, S ...), each of which scores no points.
    qint64 unplaced() const { return starts - first - second - third - fourth - fifth - sixth; }
};

/// A winning technique with the number of races it won; share of all races won with a
/// technique written.
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
