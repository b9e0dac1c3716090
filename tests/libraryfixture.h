#pragma once

// A small library index written by hand, whose answers were worked out by hand: a dead
// heat for first, a void race, a flying row, a late row, a row without a course, ３連単
// payouts around 10,000 yen and a 特払い and a 不成立 line.

#include "library/racekey.h"
#include "library/schema.h"
#include "library/storedpayouts.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace libraryfixture {

inline void exec(QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("fixture: %s", qPrintable(q.lastError().text()));
}

// `number` is the fixture's own number of the race, kept as its place in the day's file:
// entries and payouts name the race by it. The id is the index's, from raceKey().
inline void race(QSqlDatabase &db, int number, const QString &date, int venue, int race,
    const QString &heading, const QString &technique, bool isVoid)
{
    const qint64 id
        = rusena::library::raceKey(QDate::fromString(date, Qt::ISODate), venue, race, number);
    exec(db,
        QStringLiteral("INSERT INTO races VALUES (?, ?, ?, ?, ?, ?, 0, '1800', '晴', '南', '3',"
                       " '3', ?, ?, '')"),
        { id, date, venue, race, number, heading, technique, isVoid ? 1 : 0 });
}

inline QVariant orNull(int value)
{
    return value < 0 ? QVariant(QMetaType::fromType<int>()) : QVariant(value);
}

// course -1 for none; rank derived from the placing as the index does.
inline void entry(QSqlDatabase &db, int raceNumber, int seq, const QString &placing, int boat,
    const QString &reg, const QString &name, int course, const QString &start)
{
    const int rank = placing.size() == 2 && placing[0] == u'0' ? placing.mid(1).toInt() : -1;
    exec(db,
        QStringLiteral("INSERT INTO entries VALUES ((SELECT id FROM races WHERE seq = ?), ?, ?,"
                       " ?, ?, ?, ?, '11', '81', '6.70', ?, ?, '1.50.0')"),
        { raceNumber, seq, placing, orNull(rank >= 1 && rank <= 6 ? rank : -1),
            QString::number(boat), reg, name, orNull(course), start });
}

// Adds a line to the race's payouts; yen and popularity -1 for none.
inline void payout(QSqlDatabase &db, int raceNumber, const QString &bet, const QString &combination,
    qint64 yen, int popularity, const QString &note = {})
{
    const auto number = [](qint64 n) { return n < 0 ? std::nullopt : std::optional(n); };
    const QString line = rusena::library::storedPayouts(
        { { bet, combination, number(yen), number(popularity), note } });
    exec(db,
        QStringLiteral("UPDATE races SET payouts = CASE payouts WHEN '' THEN ?"
                       " ELSE payouts || char(10) || ? END WHERE seq = ?"),
        { line, line, raceNumber });
}

/// The day summaries of the races `first`..`last` (by their place in the day's file) worked
/// out from their rows in SQL: the fixture's summaries, and a second opinion on those the
/// index writer makes.
inline void summariseRaces(QSqlDatabase &db, qint64 first, qint64 last)
{
    const QString plainCs
        = QStringLiteral("CASE WHEN e.start GLOB '[0-9].[0-9][0-9]'"
                         " THEN substr(e.start, 1, 1) * 100 + substr(e.start, 3, 2) END");
    exec(db,
        QStringLiteral("INSERT INTO course_stats SELECT r.date, r.venue_code, e.course, count(*),"
                       " coalesce(sum(e.rank = 1), 0), coalesce(sum(e.rank = 2), 0),"
                       " coalesce(sum(e.rank = 3), 0), coalesce(sum(e.rank = 4), 0),"
                       " coalesce(sum(e.rank = 5), 0), coalesce(sum(e.rank = 6), 0),"
                       " coalesce(sum(%1), 0), count(%1)"
                       " FROM races r JOIN entries e ON e.race_id = r.id"
                       " WHERE r.seq BETWEEN ? AND ? AND r.void = 0 AND e.course BETWEEN 1 AND 6"
                       " GROUP BY r.date, r.venue_code, e.course")
            .arg(plainCs),
        { first, last });
    exec(db,
        QStringLiteral("INSERT INTO technique_counts SELECT date, venue_code, technique, count(*)"
                       " FROM races WHERE seq BETWEEN ? AND ? AND void = 0 AND technique <> ''"
                       " GROUP BY date, venue_code, technique"),
        { first, last });
}

/// The monthly and yearly roll-ups and the players worked out anew from the day summaries and the
/// rows: the fixture's, and a second opinion on those the index writer keeps.
inline void rollUp(QSqlDatabase &db)
{
    for (const char *table :
        { "course_months", "technique_months", "course_years", "technique_years", "players" })
        exec(db, QStringLiteral("DELETE FROM ") + QLatin1StringView(table));
    for (const auto &[period, chars] : { std::pair("months", 7), std::pair("years", 4) }) {
        exec(db,
            QStringLiteral("INSERT INTO course_%1 SELECT substr(date, 1, %2), venue_code, course,"
                           " sum(starts), sum(first), sum(second), sum(third), sum(fourth),"
                           " sum(fifth), sum(sixth), sum(start_sum_cs), sum(plain_starts)"
                           " FROM course_stats GROUP BY 1, 2, 3")
                .arg(QLatin1StringView(period))
                .arg(chars));
        exec(db,
            QStringLiteral("INSERT INTO technique_%1 SELECT substr(date, 1, %2), venue_code,"
                           " technique, sum(races) FROM technique_counts GROUP BY 1, 2, 3")
                .arg(QLatin1StringView(period))
                .arg(chars));
    }
    exec(db,
        QStringLiteral("INSERT INTO players SELECT e.reg, e.name, min(r.date), max(r.date),"
                       " count(*), coalesce(sum(r.void = 0 AND e.course BETWEEN 1 AND 6), 0)"
                       " FROM entries e JOIN races r ON r.id = e.race_id GROUP BY e.reg, e.name"));
}

inline const QString A = QStringLiteral("三井所　　尊　春"); // 4101
inline const QString B = QStringLiteral("長　尾　　京志郎"); // 4102
inline const QString C = QStringLiteral("長　尾　　太　郎"); // 4103

/// Fills `db` (open, empty) with the schema and the fixture.
inline void fill(QSqlDatabase &db)
{
    for (const char *statement : rusena::library::SchemaStatements)
        exec(db, QString::fromUtf8(statement));
    for (const char *date : { "2020-01-01", "2020-01-02", "2020-01-03" })
        exec(db, QStringLiteral("INSERT INTO days VALUES (?, 'K.TXT', 'K.TXT', 1, '', 1, 1)"),
            { QString::fromLatin1(date) });
    const QString ippan = QStringLiteral("一　　般");

    race(db, 1, QStringLiteral("2020-01-01"), 1, 1, ippan, QStringLiteral("逃げ"), false);
    entry(db, 1, 1, QStringLiteral("01"), 1, QStringLiteral("4101"), A, 1, QStringLiteral("0.10"));
    entry(db, 1, 2, QStringLiteral("02"), 2, QStringLiteral("4102"), B, 2, QStringLiteral("0.15"));
    entry(db, 1, 3, QStringLiteral("03"), 3, QStringLiteral("4103"), C, 3, QStringLiteral("0.20"));
    entry(db, 1, 4, QStringLiteral("04"), 4, QStringLiteral("4104"), QStringLiteral("田中"), 4,
        QStringLiteral("0.12"));
    entry(db, 1, 5, QStringLiteral("F"), 5, QStringLiteral("4105"), QStringLiteral("鈴木"), 5,
        QStringLiteral("F0.01"));
    entry(db, 1, 6, QStringLiteral("K0"), 6, QStringLiteral("4106"), QStringLiteral("佐藤"), -1,
        QStringLiteral("K ."));
    payout(db, 1, QStringLiteral("単勝"), QStringLiteral("1"), 150, -1);
    payout(db, 1, QStringLiteral("複勝"), QStringLiteral("1"), 100, -1);
    payout(db, 1, QStringLiteral("２連単"), QStringLiteral("1-2"), 450, 2);
    payout(db, 1, QStringLiteral("２連複"), QStringLiteral("1-2"), 300, 1);
    payout(db, 1, QStringLiteral("３連単"), QStringLiteral("1-2-3"), 12340, 30);
    payout(db, 1, QStringLiteral("３連複"), QStringLiteral("1-2-3"), 990, 5);

    // A dead heat for first.
    race(db, 2, QStringLiteral("2020-01-01"), 2, 12, QStringLiteral("優勝戦"),
        QStringLiteral("差し"), false);
    entry(db, 2, 1, QStringLiteral("01"), 2, QStringLiteral("4102"), B, 2, QStringLiteral("0.11"));
    entry(db, 2, 2, QStringLiteral("01"), 1, QStringLiteral("4101"), A, 1, QStringLiteral("0.13"));
    entry(db, 2, 3, QStringLiteral("03"), 3, QStringLiteral("4103"), C, 3, QStringLiteral("0.14"));
    entry(db, 2, 4, QStringLiteral("L1"), 4, QStringLiteral("4104"), QStringLiteral("田中"), 4,
        QStringLiteral("L ."));
    payout(db, 2, QStringLiteral("単勝"), QStringLiteral("2"), 200, 1);
    payout(db, 2, QStringLiteral("単勝"), QStringLiteral("1"), 180, 2);
    payout(db, 2, QStringLiteral("２連単"), QStringLiteral(""), 70, -1, QStringLiteral("特払い"));
    payout(db, 2, QStringLiteral("３連単"), QStringLiteral("2-1-3"), 5000, 10);
    payout(db, 2, QStringLiteral("３連単"), QStringLiteral("1-2-3"), 4000, 8);
    payout(db, 2, QStringLiteral("３連複"), QStringLiteral(""), -1, -1, QStringLiteral("不成立"));

    race(db, 3, QStringLiteral("2020-01-02"), 1, 3, ippan, QStringLiteral(""), true);
    entry(db, 3, 1, QStringLiteral("01"), 1, QStringLiteral("4101"), A, 1, QStringLiteral("0.05"));
    entry(db, 3, 2, QStringLiteral("02"), 2, QStringLiteral("4103"), C, 2, QStringLiteral("0.06"));

    race(db, 4, QStringLiteral("2020-01-03"), 1, 5, ippan, QStringLiteral("まくり"), false);
    entry(db, 4, 1, QStringLiteral("01"), 3, QStringLiteral("4103"), C, 3, QStringLiteral("0.09"));
    entry(db, 4, 2, QStringLiteral("02"), 1, QStringLiteral("4101"), A, 1, QStringLiteral("0.18"));
    entry(db, 4, 3, QStringLiteral("03"), 2, QStringLiteral("4102"), B, 2, QStringLiteral("0.16"));
    payout(db, 4, QStringLiteral("３連単"), QStringLiteral("3-1-2"), 10001, 20);
    // The day summaries and their roll-ups, as the index writer makes them.
    summariseRaces(db, 1, 4);
    rollUp(db);
}

/// An in-memory database under `connection`, filled.
inline QSqlDatabase open(const QString &connection)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        qFatal("fixture: cannot open SQLite");
    fill(db);
    return db;
}

} // namespace libraryfixture
