#include "statsquery.h"

#include "library/ratio.h"

#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace rusena::library {

namespace {

using Rows = QMap<int, std::array<CourseStats, 6>>; // by venue code

void bindPeriod(QSqlQuery &q, const Period &period)
{
    q.addBindValue(period.fromKey());
    q.addBindValue(period.toKey());
    q.addBindValue(period.venue);
    q.addBindValue(period.venue);
}

std::array<CourseStats, 6> emptyVenue(int code)
{
    std::array<CourseStats, 6> venue;
    for (int i = 0; i < 6; ++i) {
        venue[i].venueCode = code;
        venue[i].course = i + 1;
    }
    return venue;
}

void add(CourseStats &to, const CourseStats &from)
{
    to.starts += from.starts;
    to.first += from.first;
    to.second += from.second;
    to.third += from.third;
    to.startSumHundredths += from.startSumHundredths;
    to.plainStarts += from.plainStarts;
}

QueryResult<Rows> queryCourses(const QSqlDatabase &db, const Period &period)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT r.venue_code, e.course, COUNT(*),"
        " SUM(e.rank = 1), SUM(e.rank = 2), SUM(e.rank = 3),"
        " COALESCE(SUM(e.start_cs), 0), COUNT(e.start_cs)"
        " FROM races r JOIN entries e ON e.race_id = r.id"
        " WHERE r.void = 0 AND e.course BETWEEN 1 AND 6 AND r.date >= ? AND r.date <= ?"
        " AND (? = 0 OR r.venue_code = ?)"
        " GROUP BY r.venue_code, e.course"));
    bindPeriod(q, period);
    if (!q.exec())
        return QueryResult<Rows>::failure(q.lastError().text());
    Rows rows;
    while (q.next()) {
        const int code = q.value(0).toInt();
        auto it = rows.find(code);
        if (it == rows.end())
            it = rows.insert(code, emptyVenue(code));
        CourseStats &c = (*it)[q.value(1).toInt() - 1];
        c.starts = q.value(2).toLongLong();
        c.first = q.value(3).toLongLong(); // SUM over rows with a NULL rank: NULL reads 0
        c.second = q.value(4).toLongLong();
        c.third = q.value(5).toLongLong();
        c.startSumHundredths = q.value(6).toLongLong();
        c.plainStarts = q.value(7).toLongLong();
    }
    return QueryResult<Rows>::success(std::move(rows));
}

QueryResult<QList<TechniqueCount>> queryTechniques(const QSqlDatabase &db, const Period &period)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT technique, COUNT(*) FROM races"
                             " WHERE void = 0 AND technique <> '' AND date >= ? AND date <= ?"
                             " AND (? = 0 OR venue_code = ?)"
                             " GROUP BY technique"));
    bindPeriod(q, period);
    if (!q.exec())
        return QueryResult<QList<TechniqueCount>>::failure(q.lastError().text());
    QList<TechniqueCount> counts;
    qint64 total = 0;
    while (q.next()) {
        counts.append({ q.value(0).toString(), q.value(1).toLongLong(), {} });
        total += counts.last().races;
    }
    for (TechniqueCount &c : counts)
        c.share = rateText(c.races, total);
    std::stable_sort(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
        return a.races != b.races ? a.races > b.races : a.technique < b.technique;
    });
    return QueryResult<QList<TechniqueCount>>::success(std::move(counts));
}

} // namespace

QueryResult<StatsReport> queryStats(const QSqlDatabase &db, const Period &period)
{
    QueryResult<Rows> venues = queryCourses(db, period);
    if (!venues.ok())
        return QueryResult<StatsReport>::failure(venues.error);
    QueryResult<QList<TechniqueCount>> techniques = queryTechniques(db, period);
    if (!techniques.ok())
        return QueryResult<StatsReport>::failure(techniques.error);

    StatsReport report;
    report.techniques = std::move(*techniques.value);
    if (period.venue != 0) {
        // The chosen venue's six rows are written even where it held no start.
        const auto rows = venues.value->value(period.venue, emptyVenue(period.venue));
        report.courses.append(QList<CourseStats>(rows.begin(), rows.end()));
        return QueryResult<StatsReport>::success(std::move(report));
    }
    std::array<CourseStats, 6> all = emptyVenue(0);
    for (const auto &venue : std::as_const(*venues.value)) {
        for (int i = 0; i < 6; ++i) {
            report.courses.append(venue[i]);
            add(all[i], venue[i]);
        }
    }
    report.courses.append(QList<CourseStats>(all.begin(), all.end()));
    return QueryResult<StatsReport>::success(std::move(report));
}

QString CourseStats::winRate() const
{
    return rateText(first, starts);
}

QString CourseStats::top2Rate() const
{
    return rateText(first + second, starts);
}

QString CourseStats::top3Rate() const
{
    return rateText(first + second + third, starts);
}

QString CourseStats::averageStart() const
{
    return meanStartText(startSumHundredths, plainStarts);
}

QStringList statsCsvHeader()
{
    return { QStringLiteral("venue_code"), QStringLiteral("course"), QStringLiteral("starts"),
        QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third"),
        QStringLiteral("win_rate"), QStringLiteral("top2_rate"), QStringLiteral("top3_rate"),
        QStringLiteral("avg_start") };
}

QStringList statsCsvFields(const CourseStats &row)
{
    const QString venue = row.venueCode == 0
        ? QStringLiteral("all")
        : QString::number(row.venueCode).rightJustified(2, u'0');
    return { venue, QString::number(row.course), QString::number(row.starts),
        QString::number(row.first), QString::number(row.second), QString::number(row.third),
        row.winRate(), row.top2Rate(), row.top3Rate(), row.averageStart() };
}

} // namespace rusena::library
