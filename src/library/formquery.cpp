#include "formquery.h"

#include "library/daysummary.h"
#include "library/placingpoints.h"
#include "library/racekey.h"
#include "library/ratio.h"
#include "library/sqliteread.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <limits>

namespace rusena::library {

namespace {

using namespace Qt::StringLiterals;

using RaceResult = QueryResult<std::optional<ProgrammeRaceForm>>;

ProgrammeEntrant readEntrant(const QSqlQuery &q)
{
    ProgrammeEntrant e;
    QString *fields[] = { &e.boat, &e.reg, &e.name, &e.age, &e.branch, &e.weight, &e.grade,
        &e.nationalWinRate, &e.nationalTop2Rate, &e.localWinRate, &e.localTop2Rate, &e.motor,
        &e.motorTop2Rate, &e.boatNumber, &e.boatTop2Rate, &e.meetingResults, &e.earlyRace };
    int column = 0;
    for (QString *field : fields)
        *field = q.value(column++).toString();
    return e;
}

struct Start final {
    int race;
    QString placing;
    int rank;
    int course;
    QString start;
};

void count(const Start &s, int boatCourse, EntrantForm &form)
{
    ++form.starts;
    form.first += s.rank == 1;
    form.second += s.rank == 2;
    form.third += s.rank == 3;
    form.points += placingPoints(s.rank);
    if (const int cs = plainStartCs(s.start); cs >= 0) {
        form.startSumHundredths += cs;
        ++form.plainStarts;
    }
    if (s.course == boatCourse) {
        ++form.courseStarts;
        form.courseWins += s.rank == 1;
    }
    if (form.recent.size() < RecentPlacings)
        form.recent.append(s.placing);
}

// The entrant's starts before `date`, newest first, counted into his form until the
// window is full. The registration index gives them by race id (date, venue, race), newest
// first with nothing to sort; "newest" is by date and race number, so each day's starts
// are put in race order before they count.
bool addForm(ReadStatement &s, const QDate &date, const ProgrammeEntrant &entrant,
    StartWindow window, EntrantForm &form)
{
    s.reset();
    s.bind(1, entrant.reg.toLongLong());
    s.bind(2, firstRaceKey(date));
    const int boatCourse = entrant.boat.toInt();
    const int limit = window.value_or(std::numeric_limits<int>::max());
    QList<Start> day;
    qint64 dayNumber = -1;
    const auto countDay = [&] {
        std::stable_sort(
            day.begin(), day.end(), [](const Start &a, const Start &b) { return a.race > b.race; });
        for (const Start &start : std::as_const(day)) {
            if (form.starts < limit)
                count(start, boatCourse, form);
        }
        day.clear();
    };
    while (form.starts < limit && s.next()) {
        const qint64 id = s.integer(0);
        if (raceKeyJulianDay(id) != dayNumber) {
            countDay();
            dayNumber = raceKeyJulianDay(id);
        }
        day.append({ raceKeyRace(id), s.text(1), int(s.optionalInt(2).value_or(0)),
            int(s.integer(3)), s.text(4) });
    }
    countDay();
    return s.error().isEmpty();
}

} // namespace

QString EntrantForm::winRate() const
{
    return rateText(first, starts);
}

QString EntrantForm::top2Rate() const
{
    return rateText(first + second, starts);
}

QString EntrantForm::averageStart() const
{
    return meanStartText(startSumHundredths, plainStarts);
}

QString EntrantForm::pointsAverage() const
{
    return pointsAverageText(points, starts);
}

RaceResult queryProgrammeRace(
    const QSqlDatabase &db, const QDate &date, int venueCode, int race, StartWindow window)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT id, meeting_title, meeting_day, race_name, fixed_entry, distance_m,"
              " deadline FROM programme_races WHERE date = ? AND venue_code = ? AND race = ?"
              " ORDER BY seq LIMIT 1"_s);
    q.addBindValue(date.toString(Qt::ISODate));
    q.addBindValue(venueCode);
    q.addBindValue(race);
    if (!q.exec())
        return RaceResult::failure(q.lastError().text());
    if (!q.next())
        return RaceResult::success(std::nullopt);
    ProgrammeRaceForm out;
    const qint64 raceId = q.value(0).toLongLong();
    out.race = { date, venueCode, race, q.value(1).toString(), q.value(2).toString(),
        q.value(3).toString(), q.value(4).toInt() != 0, q.value(5).toString(),
        q.value(6).toString() };
    q.prepare(u"SELECT boat, reg, name, age, branch, weight_kg, class, national_win_rate,"
              " national_top2_rate, local_win_rate, local_top2_rate, motor, motor_top2_rate,"
              " boat_no, boat_top2_rate, meeting_results, early_race FROM programme_entries"
              " WHERE race_id = ? ORDER BY seq"_s);
    q.addBindValue(raceId);
    if (!q.exec())
        return RaceResult::failure(q.lastError().text());
    while (q.next())
        out.entrants.append(readEntrant(q));
    // A start: a placing row with a course in a race that was not void. The void races are
    // read once from their own index, not looked up for every start.
    ReadStatement starts(db,
        "SELECT race_id, placing, rank, course, start FROM entries"
        " WHERE reg = ?1 AND race_id < ?2 AND course BETWEEN 1 AND 6"
        " AND race_id NOT IN (SELECT id FROM races WHERE void = 1) ORDER BY race_id DESC");
    for (const ProgrammeEntrant &entrant : out.entrants) {
        EntrantForm form;
        if (!addForm(starts, date, entrant, window, form))
            return RaceResult::failure(starts.error());
        out.forms.append(std::move(form));
    }
    return RaceResult::success(std::move(out));
}

QueryResult<QList<std::pair<int, QList<int>>>> queryProgrammeRaces(
    const QSqlDatabase &db, const QDate &date)
{
    using Result = QueryResult<QList<std::pair<int, QList<int>>>>;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT venue_code, race FROM programme_races WHERE date = ?"
              " ORDER BY venue_code, race"_s);
    q.addBindValue(date.toString(Qt::ISODate));
    if (!q.exec())
        return Result::failure(q.lastError().text());
    QList<std::pair<int, QList<int>>> venues;
    while (q.next()) {
        const int venue = q.value(0).toInt();
        if (venues.isEmpty() || venues.last().first != venue)
            venues.append(std::pair<int, QList<int>>(venue, {}));
        venues.last().second.append(q.value(1).toInt());
    }
    return Result::success(std::move(venues));
}

QueryResult<std::optional<RaceOutcome>> queryRaceOutcome(
    const QSqlDatabase &db, const QDate &date, int venueCode, int race)
{
    using Result = QueryResult<std::optional<RaceOutcome>>;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT r.technique, r.void, e.boat, e.placing, e.course, e.start FROM races r"
              " JOIN entries e ON e.race_id = r.id WHERE r.date = ? AND r.venue_code = ?"
              " AND r.race = ? ORDER BY r.seq, e.seq"_s);
    q.addBindValue(date.toString(Qt::ISODate));
    q.addBindValue(venueCode);
    q.addBindValue(race);
    if (!q.exec())
        return Result::failure(q.lastError().text());
    std::optional<RaceOutcome> outcome;
    while (q.next()) {
        if (!outcome)
            outcome = RaceOutcome { q.value(0).toString(), q.value(1).toInt() != 0, {} };
        const QString boat = q.value(2).toString();
        if (!outcome->boats.contains(boat))
            outcome->boats.insert(boat,
                { q.value(3).toString(), q.value(4).isNull() ? QString() : q.value(4).toString(),
                    q.value(5).toString() });
    }
    return Result::success(std::move(outcome));
}

QueryResult<QList<EntryRef>> queryEntries(
    const QSqlDatabase &db, const QString &reg, const QDate &date)
{
    using Result = QueryResult<QList<EntryRef>>;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT r.venue_code, r.race, e.boat, r.deadline FROM programme_entries e"
              " JOIN programme_races r ON r.id = e.race_id WHERE e.reg = ? AND r.date = ?"
              " ORDER BY r.venue_code, r.race"_s);
    q.addBindValue(reg);
    q.addBindValue(date.toString(Qt::ISODate));
    if (!q.exec())
        return Result::failure(q.lastError().text());
    QList<EntryRef> out;
    while (q.next())
        out.append({ date, q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(),
            q.value(3).toString() });
    return Result::success(std::move(out));
}

QueryResult<QList<QDate>> queryProgrammeDates(const QSqlDatabase &db)
{
    using Result = QueryResult<QList<QDate>>;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(u"SELECT date FROM programme_days ORDER BY date DESC"_s))
        return Result::failure(q.lastError().text());
    QList<QDate> out;
    while (q.next())
        out.append(QDate::fromString(q.value(0).toString(), Qt::ISODate));
    return Result::success(std::move(out));
}

QStringList formCsvHeader()
{
    return { u"boat"_s, u"reg"_s, u"name"_s, u"class"_s, u"starts"_s, u"first"_s, u"second"_s,
        u"third"_s, u"win_rate"_s, u"top2_rate"_s, u"avg_start"_s, u"course_starts"_s,
        u"course_wins"_s, u"recent"_s, u"points_avg"_s };
}

QStringList formCsvFields(const ProgrammeEntrant &entrant, const EntrantForm &form)
{
    return { entrant.boat, entrant.reg, entrant.name, entrant.grade, QString::number(form.starts),
        QString::number(form.first), QString::number(form.second), QString::number(form.third),
        form.winRate(), form.top2Rate(), form.averageStart(), QString::number(form.courseStarts),
        QString::number(form.courseWins), form.recent.join(u'|'), form.pointsAverage() };
}

} // namespace rusena::library
