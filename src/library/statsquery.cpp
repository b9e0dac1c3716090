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

using Rows = VenueCourses;

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

// The figures of each day of the period, from the day summaries the index keeps: a few
// rows a day, where walking the starts themselves would visit every placing row.
using DayFigures = QMap<QString, StatsFigures>; // by date

QString readStarts(const QSqlDatabase &db, const Period &period, DayFigures &days)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT date, venue_code, course, starts, first, second, third, start_sum_cs,"
        " plain_starts FROM course_stats WHERE date >= ? AND date <= ?"
        " AND (? = 0 OR venue_code = ?)"));
    bindPeriod(q, period);
    if (!q.exec())
        return q.lastError().text();
    while (q.next()) {
        const int venue = q.value(1).toInt();
        const int course = q.value(2).toInt();
        if (venue < 1 || venue > 24 || course < 1 || course > 6)
            continue;
        VenueCourses &courses = days[q.value(0).toString()].courses;
        auto it = courses.find(venue);
        if (it == courses.end())
            it = courses.insert(venue, emptyVenue(venue));
        CourseStats &c = (*it)[size_t(course - 1)];
        c.starts += q.value(3).toLongLong();
        c.first += q.value(4).toLongLong();
        c.second += q.value(5).toLongLong();
        c.third += q.value(6).toLongLong();
        c.startSumHundredths += q.value(7).toLongLong();
        c.plainStarts += q.value(8).toLongLong();
    }
    return {};
}

QString readTechniques(const QSqlDatabase &db, const Period &period, DayFigures &days)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT date, venue_code, technique, races FROM technique_counts"
                             " WHERE date >= ? AND date <= ? AND (? = 0 OR venue_code = ?)"));
    bindPeriod(q, period);
    if (!q.exec())
        return q.lastError().text();
    while (q.next()) {
        days[q.value(0).toString()].techniques[q.value(1).toInt()][q.value(2).toString()]
            += q.value(3).toLongLong();
    }
    return {};
}

QueryResult<DayFigures> queryDays(const QSqlDatabase &db, const Period &period)
{
    DayFigures days;
    QString why = readStarts(db, period, days);
    if (why.isEmpty())
        why = readTechniques(db, period, days);
    if (!why.isEmpty())
        return QueryResult<DayFigures>::failure(why);
    return QueryResult<DayFigures>::success(std::move(days));
}

// Adds `from` to `to`, only venue `venue` where it is not 0.
void addFigures(StatsFigures &to, const StatsFigures &from, int venue)
{
    for (auto it = from.courses.begin(); it != from.courses.end(); ++it) {
        if (venue != 0 && it.key() != venue)
            continue;
        auto at = to.courses.find(it.key());
        if (at == to.courses.end())
            at = to.courses.insert(it.key(), emptyVenue(it.key()));
        for (int i = 0; i < 6; ++i)
            add((*at)[size_t(i)], (*it)[size_t(i)]);
    }
    for (auto it = from.techniques.begin(); it != from.techniques.end(); ++it) {
        if (venue != 0 && it.key() != venue)
            continue;
        for (auto t = it->begin(); t != it->end(); ++t)
            to.techniques[it.key()][t.key()] += t.value();
    }
}

QList<TechniqueCount> techniqueList(const VenueTechniques &byVenue)
{
    QMap<QString, qint64> totals;
    qint64 total = 0;
    for (const auto &venue : byVenue) {
        for (auto t = venue.begin(); t != venue.end(); ++t) {
            totals[t.key()] += t.value();
            total += t.value();
        }
    }
    QList<TechniqueCount> counts;
    for (auto t = totals.begin(); t != totals.end(); ++t)
        counts.append({ t.key(), t.value(), rateText(t.value(), total) });
    std::stable_sort(counts.begin(), counts.end(),
        [](const auto &a, const auto &b) { return a.races > b.races; });
    return counts;
}

StatsReport makeReport(const StatsFigures &figures, int venue)
{
    StatsReport report;
    report.techniques = techniqueList(figures.techniques);
    if (venue != 0) {
        // The chosen venue's six rows are written even where it held no start.
        const auto rows = figures.courses.value(venue, emptyVenue(venue));
        report.courses.append(QList<CourseStats>(rows.begin(), rows.end()));
        return report;
    }
    std::array<CourseStats, 6> all = emptyVenue(0);
    for (const auto &rows : figures.courses) {
        for (size_t i = 0; i < 6; ++i) {
            report.courses.append(rows[i]);
            add(all[i], rows[i]);
        }
    }
    report.courses.append(QList<CourseStats>(all.begin(), all.end()));
    return report;
}

// Brings `cache` up to date for the stored days of the period; returns those days.
QueryResult<QStringList> refreshCache(
    const QSqlDatabase &db, const Period &period, StatsCache &cache)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return QueryResult<QStringList>::failure(q.lastError().text());
    if (q.value(0).toInt() != cache.schemaVersion) {
        cache.days.clear();
        cache.schemaVersion = q.value(0).toInt();
    }
    q.prepare(QStringLiteral("SELECT date, bytes_digest FROM days WHERE date >= ? AND date <= ?"));
    q.addBindValue(period.fromKey());
    q.addBindValue(period.toKey());
    if (!q.exec())
        return QueryResult<QStringList>::failure(q.lastError().text());
    QList<std::pair<QString, QString>> days;
    while (q.next())
        days.append({ q.value(0).toString(), q.value(1).toString() });
    // Days not kept yet, or stored again since, are read in one walk over their span.
    QStringList dates, stale;
    for (const auto &[date, digest] : days) {
        const auto it = cache.days.constFind(date);
        if (it == cache.days.cend() || it->digest != digest)
            stale.append(date);
        dates.append(date);
    }
    if (!stale.isEmpty()) {
        const auto span = std::minmax_element(stale.begin(), stale.end());
        QueryResult<DayFigures> read = queryDays(db,
            { QDate::fromString(*span.first, Qt::ISODate),
                QDate::fromString(*span.second, Qt::ISODate), 0 });
        if (!read.ok())
            return QueryResult<QStringList>::failure(read.error);
        for (const auto &[date, digest] : days) {
            if (stale.contains(date))
                cache.days.insert(date, { digest, read.value->value(date) });
        }
    }
    return QueryResult<QStringList>::success(std::move(dates));
}

} // namespace

QueryResult<StatsReport> queryStats(const QSqlDatabase &db, const Period &period, StatsCache *cache)
{
    if (!cache) {
        const QueryResult<DayFigures> days = queryDays(db, period);
        if (!days.ok())
            return QueryResult<StatsReport>::failure(days.error);
        StatsFigures total;
        for (const StatsFigures &day : *days.value)
            addFigures(total, day, 0);
        return QueryResult<StatsReport>::success(makeReport(total, period.venue));
    }
    const QueryResult<QStringList> dates = refreshCache(db, period, *cache);
    if (!dates.ok())
        return QueryResult<StatsReport>::failure(dates.error);
    StatsFigures total;
    for (const QString &date : *dates.value)
        addFigures(total, cache->days.value(date).figures, period.venue);
    return QueryResult<StatsReport>::success(makeReport(total, period.venue));
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
