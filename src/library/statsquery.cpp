#include "statsquery.h"

#include "library/placingpoints.h"
#include "library/ratio.h"
#include "store/resultlayout.h"

#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace rusena::library {

namespace {

// Starts by venue code and course; winning techniques by venue code.
using VenueCourses = QMap<int, std::array<CourseStats, 6>>;
using VenueTechniques = QMap<int, QMap<QString, qint64>>;

struct StatsFigures final {
    VenueCourses courses;
    VenueTechniques techniques;
};

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
    to.fourth += from.fourth;
    to.fifth += from.fifth;
    to.sixth += from.sixth;
    to.startSumHundredths += from.startSumHundredths;
    to.plainStarts += from.plainStarts;
}

// A period as the roll-ups serve it: its whole years from the yearly rows, the whole
// months left at its ends from the monthly rows, the days left after those from the day
// rows. Ten years are then some 1,500 rows, however the period is cut. Months and days are
// read over two ranges each, one at either end; a range not used runs from "1" to "0".
struct KeyRange final {
    QString from = QStringLiteral("1");
    QString to = QStringLiteral("0");
};

struct Spans final {
    KeyRange years;
    std::array<KeyRange, 2> months;
    std::array<KeyRange, 2> days;
};

bool knownCourse(int venue, int course)
{
    return venue >= 1 && venue <= layout::VenueCount && course >= 1 && course <= 6;
}

QString dayKey(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString monthKey(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM"));
}

// The whole months of the days `from`..`to` (both valid) and the days before and after
// them; all of them days when no month is whole.
struct MonthSpans final {
    KeyRange months, head, tail;
};

MonthSpans monthsOf(const QDate &from, const QDate &to)
{
    const QDate firstWhole
        = from.day() == 1 ? from : QDate(from.year(), from.month(), 1).addMonths(1);
    const QDate lastWhole
        = to.day() == to.daysInMonth() ? to : QDate(to.year(), to.month(), 1).addDays(-1);
    MonthSpans spans;
    if (firstWhole > lastWhole) {
        spans.head = { dayKey(from), dayKey(to) };
        return spans;
    }
    spans.months = { monthKey(firstWhole), monthKey(lastWhole) };
    if (from != firstWhole)
        spans.head = { dayKey(from), dayKey(firstWhole.addDays(-1)) };
    if (to != lastWhole)
        spans.tail = { dayKey(lastWhole.addDays(1)), dayKey(to) };
    return spans;
}

Spans spansOf(const Period &period)
{
    // An open end reaches beyond any day the library can hold.
    const QDate from = period.from.isValid() ? period.from : QDate(1, 1, 1);
    const QDate to = period.to.isValid() ? period.to : QDate(9999, 12, 31);
    Spans spans;
    if (from > to)
        return spans;
    const int firstYear = from.dayOfYear() == 1 ? from.year() : from.year() + 1;
    const int lastYear = to.dayOfYear() == to.daysInYear() ? to.year() : to.year() - 1;
    if (firstYear > lastYear) {
        const MonthSpans all = monthsOf(from, to);
        return { {}, { all.months, {} }, { all.head, all.tail } };
    }
    const auto yearKey
        = [](int year) { return QStringLiteral("%1").arg(year, 4, 10, QChar(u'0')); };
    spans.years = { yearKey(firstYear), yearKey(lastYear) };
    // Before the first whole year, the days end with a month; after the last, they begin
    // with one: each end has days on one side of its months at most.
    if (from.year() < firstYear) {
        const MonthSpans head = monthsOf(from, QDate(firstYear - 1, 12, 31));
        spans.months[0] = head.months;
        spans.days[0] = head.head;
    }
    if (to.year() > lastYear) {
        const MonthSpans tail = monthsOf(QDate(lastYear + 1, 1, 1), to);
        spans.months[1] = tail.months;
        spans.days[1] = tail.months.from > tail.months.to ? tail.head : tail.tail;
    }
    return spans;
}

// `columns` summed by venue and `key` over the period, from the tables that hold them a
// year, a month and a day.
QString summedSql(const char *yearTable, const char *monthTable, const char *dayTable,
    const char *key, const char *columns, const char *sums)
{
    const QString selected = QStringLiteral("SELECT venue_code, %1, %2 FROM ")
                                 .arg(QLatin1StringView(key), QLatin1StringView(columns));
    const QString venue = QStringLiteral(" AND (? = 0 OR venue_code = ?)");
    return QStringLiteral("SELECT venue_code, %1, %2 FROM (")
               .arg(QLatin1StringView(key), QLatin1StringView(sums))
        + selected + QLatin1StringView(yearTable) + QStringLiteral(" WHERE year BETWEEN ? AND ?")
        + venue + QStringLiteral(" UNION ALL ") + selected + QLatin1StringView(monthTable)
        + QStringLiteral(" WHERE (month BETWEEN ? AND ? OR month BETWEEN ? AND ?)") + venue
        + QStringLiteral(" UNION ALL ") + selected + QLatin1StringView(dayTable)
        + QStringLiteral(" WHERE (date BETWEEN ? AND ? OR date BETWEEN ? AND ?)") + venue
        + QStringLiteral(") GROUP BY venue_code, %1").arg(QLatin1StringView(key));
}

bool runSummed(QSqlQuery &q, const QString &sql, const Period &period)
{
    const Spans spans = spansOf(period);
    q.setForwardOnly(true);
    q.prepare(sql);
    // In the statement's order: each table's ranges, then the venue, twice.
    const QList<QList<const KeyRange *>> tables { { &spans.years },
        { &spans.months[0], &spans.months[1] }, { &spans.days[0], &spans.days[1] } };
    for (const QList<const KeyRange *> &ranges : tables) {
        for (const KeyRange *range : ranges) {
            q.addBindValue(range->from);
            q.addBindValue(range->to);
        }
        q.addBindValue(period.venue);
        q.addBindValue(period.venue);
    }
    return q.exec();
}

// In the order of the sums readStarts() asks for.
constexpr std::array<qint64 CourseStats::*, 9> SummedFields { &CourseStats::starts,
    &CourseStats::first, &CourseStats::second, &CourseStats::third, &CourseStats::fourth,
    &CourseStats::fifth, &CourseStats::sixth, &CourseStats::startSumHundredths,
    &CourseStats::plainStarts };

QString readStarts(const QSqlDatabase &db, const Period &period, VenueCourses &courses)
{
    static const QString sql = summedSql("course_years", "course_months", "course_stats", "course",
        "starts, first, second, third, fourth, fifth, sixth, start_sum_cs, plain_starts",
        "sum(starts), sum(first), sum(second), sum(third), sum(fourth), sum(fifth),"
        " sum(sixth), sum(start_sum_cs), sum(plain_starts)");
    QSqlQuery q(db);
    if (!runSummed(q, sql, period))
        return q.lastError().text();
    while (q.next()) {
        const int venue = q.value(0).toInt();
        const int course = q.value(1).toInt();
        if (!knownCourse(venue, course))
            continue;
        auto it = courses.find(venue);
        if (it == courses.end())
            it = courses.insert(venue, emptyVenue(venue));
        CourseStats &c = (*it)[size_t(course - 1)];
        for (size_t i = 0; i < SummedFields.size(); ++i)
            c.*SummedFields[i] = q.value(int(i) + 2).toLongLong();
    }
    return {};
}

QString readTechniques(const QSqlDatabase &db, const Period &period, VenueTechniques &techniques)
{
    static const QString sql = summedSql("technique_years", "technique_months", "technique_counts",
        "technique", "races", "sum(races)");
    QSqlQuery q(db);
    if (!runSummed(q, sql, period))
        return q.lastError().text();
    while (q.next())
        techniques[q.value(0).toInt()][q.value(1).toString()] += q.value(2).toLongLong();
    return {};
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
        counts.append({ t.key(), t.value(), percentText(t.value(), total) });
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

} // namespace

QueryResult<StatsReport> queryStats(const QSqlDatabase &db, const Period &period)
{
    StatsFigures figures;
    QString why = readStarts(db, period, figures.courses);
    if (why.isEmpty())
        why = readTechniques(db, period, figures.techniques);
    if (!why.isEmpty())
        return QueryResult<StatsReport>::failure(why);
    return QueryResult<StatsReport>::success(makeReport(figures, period.venue));
}

qint64 CourseStats::topN(int n) const
{
    return first + (n >= 2 ? second : 0) + (n >= 3 ? third : 0);
}

QString CourseStats::averageStart() const
{
    return meanStartText(startSumHundredths, plainStarts);
}

QString CourseStats::pointsAverage() const
{
    const std::array<qint64, 6> placed { first, second, third, fourth, fifth, sixth };
    qint64 points = 0;
    for (int rank = 1; rank <= 6; ++rank)
        points += placingPoints(rank) * placed[size_t(rank - 1)];
    return pointsAverageText(points, starts);
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
        rateText(row.topN(1), row.starts), rateText(row.topN(2), row.starts),
        rateText(row.topN(3), row.starts), row.averageStart() };
}

} // namespace rusena::library
