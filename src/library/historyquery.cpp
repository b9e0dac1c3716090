#include "historyquery.h"

#include "library/daysummary.h"
#include "library/placingpoints.h"
#include "library/racekey.h"
#include "library/ratio.h"
#include "library/sqliteread.h"
#include "library/starts.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace rusena::library {

namespace {

HistoryRow readRow(const ReadStatement &s)
{
    HistoryRow row;
    row.date = s.text(0);
    row.venueCode = int(s.integer(1));
    row.race = int(s.integer(2));
    row.heading = s.text(3);
    row.boat = s.text(4);
    row.course = s.optionalInt(5);
    row.placing = s.text(6);
    row.rank = s.optionalInt(7);
    row.start = s.text(8);
    if (const int cs = plainStartCs(row.start); cs >= 0)
        row.startHundredths = cs;
    row.raceTime = s.text(9);
    if (row.rank == 1)
        row.technique = s.text(10);
    row.name = s.text(11);
    row.isVoid = s.integer(12) != 0;
    return row;
}

} // namespace

QueryResult<QList<HistoryRow>> queryHistory(
    const QSqlDatabase &db, const QString &reg, const Period &period)
{
    // The player's rows counted in the players table: the list grows once, not a dozen
    // times over rows of a few hundred bytes.
    QList<HistoryRow> rows;
    ReadStatement count(db, "SELECT sum(entry_rows) FROM players WHERE reg = ?");
    count.bind(1, reg.toLongLong());
    if (count.next())
        rows.reserve(count.integer(0));
    // Race ids sort by date, venue, race and the file's order (raceKey()): the period is a
    // stretch of the player's part of the registration index, read in the order shown.
    ReadStatement s(db,
        "SELECT r.date, r.venue_code, r.race, r.heading, e.boat, e.course, e.placing, e.rank,"
        " e.start, e.race_time, r.technique, e.name, r.void"
        " FROM entries e JOIN races r ON r.id = e.race_id"
        " WHERE e.reg = ?1 AND e.race_id BETWEEN ?2 AND ?3 AND (?4 = 0 OR r.venue_code = ?4)"
        " ORDER BY e.race_id, e.seq");
    const RaceKeyRange ids = raceKeyRange(period.from, period.to);
    s.bind(1, reg.toLongLong());
    s.bind(2, ids.first);
    s.bind(3, ids.last);
    s.bind(4, period.venue);
    while (s.next())
        rows.append(readRow(s));
    if (!s.error().isEmpty())
        return QueryResult<QList<HistoryRow>>::failure(s.error());
    return QueryResult<QList<HistoryRow>>::success(std::move(rows));
}

HistorySummary summarize(const QList<HistoryRow> &rows)
{
    HistorySummary s;
    for (const HistoryRow &row : rows) {
        if (row.placing.startsWith(u'F'))
            ++s.flying;
        else if (row.placing.startsWith(u'L'))
            ++s.late;
        if (!isStart(row.course.value_or(0), row.isVoid))
            continue;
        const size_t course = size_t(*row.course);
        const int points = placingPoints(row.rank.value_or(0));
        ++s.starts;
        ++s.startsByCourse[course];
        s.points += points;
        s.pointsByCourse[course] += points;
        if (row.rank == 1) {
            ++s.first;
            ++s.winsByCourse[course];
        }
        s.second += row.rank == 2;
        s.third += row.rank == 3;
        if (row.startHundredths) {
            s.startSumHundredths += *row.startHundredths;
            ++s.plainStarts;
        }
    }
    return s;
}

int HistorySummary::topN(int n) const
{
    return first + (n >= 2 ? second : 0) + (n >= 3 ? third : 0);
}

QString HistorySummary::pointsAverage() const
{
    return pointsAverageText(points, starts);
}

QString HistorySummary::averageStart() const
{
    return meanStartText(startSumHundredths, plainStarts);
}

QString HistorySummary::courseFirstShare(int course) const
{
    return percentText(winsByCourse.at(course), startsByCourse.at(course));
}

QString HistorySummary::coursePointsAverage(int course) const
{
    return pointsAverageText(pointsByCourse.at(course), startsByCourse.at(course));
}

QString nameKey(QStringView text)
{
    QString key = text.toString();
    key.remove(u' ');
    key.remove(QChar(0x3000));
    return key;
}

bool isRegistrationNumber(const QString &text)
{
    if (text.size() != 4)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QueryResult<QList<PlayerMatch>> findPlayers(const QSqlDatabase &db, const QString &part)
{
    const QString key = nameKey(part);
    if (key.isEmpty())
        return QueryResult<QList<PlayerMatch>>::success({});
    // instr() rather than LIKE: a name never needs its % or _ escaped. The names lose
    // their blanks in SQL by nameKey()'s rule, half- and full-width spaces. A name holds the
    // key's first character wherever its blanks stand: that plain test passes over most
    // names before the key of any is made. A player found under one way of writing his
    // name is counted under every way.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT printf('%04d', reg), name, first_date, last_date, starts FROM players"
        " WHERE reg IN (SELECT reg FROM players"
        " WHERE instr(name, ?) > 0 AND instr(replace(replace(name, ' ', ''), '　', ''), ?) > 0)"
        " ORDER BY reg, last_date, name"));
    q.addBindValue(key.first(1));
    q.addBindValue(key);
    if (!q.exec())
        return QueryResult<QList<PlayerMatch>>::failure(q.lastError().text());
    // The name as last written is the one shown.
    QList<PlayerMatch> players;
    while (q.next()) {
        const QString reg = q.value(0).toString();
        if (players.isEmpty() || players.last().reg != reg)
            players.append({ reg, {}, q.value(2).toString(), {}, 0 });
        PlayerMatch &p = players.last();
        p.name = q.value(1).toString();
        p.firstDay = std::min(p.firstDay, q.value(2).toString());
        p.lastDay = q.value(3).toString();
        p.starts += q.value(4).toInt();
    }
    return QueryResult<QList<PlayerMatch>>::success(std::move(players));
}

} // namespace rusena::library
