#include "formquery.h"

#include "library/daysummary.h"
#include "library/placingpoints.h"
#include "library/ratio.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

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

// The entrant's starts before `date`, newest first, counted into his form.
bool addForm(QSqlQuery &q, const QDate &date, const ProgrammeEntrant &entrant, StartWindow window,
    EntrantForm &form)
{
    q.bindValue(0, entrant.reg.toInt());
    q.bindValue(1, date.toString(Qt::ISODate));
    q.bindValue(2, window.value_or(-1));
    if (!q.exec())
        return false;
    const int boatCourse = entrant.boat.toInt();
    while (q.next()) {
        const QString placing = q.value(0).toString();
        const int rank = q.value(1).toInt();
        const int course = q.value(2).toInt();
        ++form.starts;
        form.first += rank == 1;
        form.second += rank == 2;
        form.third += rank == 3;
        form.points += placingPoints(rank);
        if (const int cs = plainStartCs(q.value(3).toString()); cs >= 0) {
            form.startSumHundredths += cs;
            ++form.plainStarts;
        }
        if (course == boatCourse) {
            ++form.courseStarts;
            form.courseWins += rank == 1;
        }
        if (form.recent.size() < RecentPlacings)
            form.recent.append(placing);
    }
    return true;
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
    // A start: a placing row with a course in a race that was not void. LIMIT -1 is all.
    q.prepare(u"SELECT e.placing, e.rank, e.course, e.start FROM entries e"
              " JOIN races r ON r.id = e.race_id WHERE e.reg = ? AND r.date < ?"
              " AND r.void = 0 AND e.course BETWEEN 1 AND 6"
              " ORDER BY r.date DESC, r.race DESC LIMIT ?"_s);
    for (const ProgrammeEntrant &entrant : out.entrants) {
        EntrantForm form;
        if (!addForm(q, date, entrant, window, form))
            return RaceResult::failure(q.lastError().text());
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
