#pragma once

#include "library/period.h"
#include "library/queryresult.h"

#include <QHash>
#include <QList>
#include <QMap>
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
    qint64 startSumHundredths = 0;
    qint64 plainStarts = 0; ///< starts with a plain timing (no F, L or K)

    QString winRate() const;
    QString top2Rate() const;
    QString top3Rate() const;
    QString averageStart() const;
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

/// Starts by venue code and course; winning techniques by venue code.
using VenueCourses = QMap<int, std::array<CourseStats, 6>>;
using VenueTechniques = QMap<int, QMap<QString, qint64>>;

struct StatsFigures final {
    VenueCourses courses;
    VenueTechniques techniques;
};

/// The figures of single days, kept by a window between its queries, so that another
/// period or venue does not walk every start of the library again. A day is read again
/// when its stored bytes (their digest) or the index's schema version have changed.
struct StatsCache final {
    struct Day final {
        QString digest;
        StatsFigures figures;
    };
    QHash<QString, Day> days; // by date
    int schemaVersion = -1;
};

/// The statistics of the period; with a cache, from the figures of its days.
QueryResult<StatsReport> queryStats(
    const QSqlDatabase &db, const Period &period, StatsCache *cache = nullptr);

/// The columns of `rusena-library stats` and the fields of one row.
QStringList statsCsvHeader();
QStringList statsCsvFields(const CourseStats &row);

} // namespace rusena::library
