#include "filebytes.h"
#include "libraryfixture.h"
#include "lzhbuilder.h"

#include "library/historyquery.h"
#include "library/importbatch.h"
#include "library/library.h"
#include "library/payoutquery.h"
#include "library/racekey.h"
#include "library/ratio.h"
#include "library/statsquery.h"
#include "querycommands.h"
#include "store/heap.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cstdlib>
#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace rusena::library;
using rusena::tool::CommandContext;
using rusena::tool::HistoryArgs;

namespace {

QStringList csvLines(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A command's arguments after its name, as the parser is given them.
struct Command final {
    explicit Command(const QString &name, const QStringList &args)
        : context { QStringList { QStringLiteral("rusena-library ") + name } + args, {}, out, err }
    {
    }
    QString outText, errText;
    QTextStream out { &outText };
    QTextStream err { &errText };
    CommandContext context;
};

} // namespace

class TestLibraryQueries final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void threeDecimals_data();
    void threeDecimals();
    void raceKeyOrder_data();
    void raceKeyOrder();
    void historyCsv_data();
    void historyCsv();
    void summary_data();
    void summary();
    void statsCsv_data();
    void statsCsv();
    void statsFollowReplacedDay();
    void techniques();
    void findPlayers_data();
    void findPlayers();
    void payoutSummary_data();
    void payoutSummary();
    void payoutCells();
    void groupedYen_data();
    void groupedYen();
    void arguments_data();
    void arguments();
    void commandLine_data();
    void commandLine();
    void freedHeapKept();

private:
    QSqlDatabase m_db;
};

void TestLibraryQueries::initTestCase()
{
    m_db = libraryfixture::open(QStringLiteral("queries"));
}

void TestLibraryQueries::threeDecimals_data()
{
    QTest::addColumn<qint64>("num");
    QTest::addColumn<qint64>("den");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("percent"); // as the windows show the same fraction
    QTest::newRow("201 of 400 rounds up")
        << qint64(201) << qint64(400) << QStringLiteral("0.503") << QStringLiteral("50.3");
    QTest::newRow("one third") << qint64(1) << qint64(3) << QStringLiteral("0.333")
                               << QStringLiteral("33.3");
    QTest::newRow("two thirds") << qint64(2) << qint64(3) << QStringLiteral("0.667")
                                << QStringLiteral("66.7");
    QTest::newRow("exact") << qint64(1) << qint64(8) << QStringLiteral("0.125")
                           << QStringLiteral("12.5");
    QTest::newRow("1/16 half up") << qint64(1) << qint64(16) << QStringLiteral("0.063")
                                  << QStringLiteral("6.3");
    QTest::newRow("none of five") << qint64(0) << qint64(5) << QStringLiteral("0.000")
                                  << QStringLiteral("0.0");
    QTest::newRow("all") << qint64(7) << qint64(7) << QStringLiteral("1.000")
                         << QStringLiteral("100.0");
    // Mean start timing of 0.12 0.13 0.15 0.17 = 0.1425: a double reads 0.14249...
    QTest::newRow("mean 57cs of 4")
        << qint64(57) << qint64(400) << QStringLiteral("0.143") << QStringLiteral("14.3");
    QTest::newRow("over one") << qint64(3) << qint64(2) << QStringLiteral("1.500")
                              << QStringLiteral("150.0");
    QTest::newRow("17 of 22, a fan's 77.3 %")
        << qint64(17) << qint64(22) << QStringLiteral("0.773") << QStringLiteral("77.3");
}

void TestLibraryQueries::threeDecimals()
{
    QFETCH(qint64, num);
    QFETCH(qint64, den);
    QFETCH(QString, text);
    QFETCH(QString, percent);
    QCOMPARE(rusena::library::threeDecimals(num, den), text);
    QCOMPARE(percentText(num, den), percent);
}

using RaceAt = std::tuple<QDate, int, int, qint64>; // date, venue, race, block in the day

void TestLibraryQueries::raceKeyOrder_data()
{
    // Each pair sorts first before second by (date, venue, race, block), whatever the
    // fields after the one that differs: no field may spill into the next.
    QTest::addColumn<RaceAt>("first");
    QTest::addColumn<RaceAt>("second");
    const QDate day(2020, 1, 5);
    const qint64 lastBlock = RaceSeqLimit - 1;
    QTest::newRow("day") << RaceAt { day, 24, 12, lastBlock } << RaceAt { day.addDays(1), 1, 1, 0 };
    QTest::newRow("venue") << RaceAt { day, 23, 12, lastBlock } << RaceAt { day, 24, 1, 0 };
    QTest::newRow("race") << RaceAt { day, 5, 11, lastBlock } << RaceAt { day, 5, 12, 0 };
    QTest::newRow("block") << RaceAt { day, 5, 12, 0 } << RaceAt { day, 5, 12, 1 };
    QTest::newRow("a year's end") << RaceAt { QDate(2019, 12, 31), 24, 12, lastBlock }
                                  << RaceAt { QDate(2020, 1, 1), 1, 1, 0 };
}

void TestLibraryQueries::raceKeyOrder()
{
    QFETCH(RaceAt, first);
    QFETCH(RaceAt, second);
    const auto key = [](const RaceAt &r) {
        return raceKey(std::get<0>(r), std::get<1>(r), std::get<2>(r), int(std::get<3>(r)));
    };
    QVERIFY(key(first) < key(second));
    QVERIFY(firstRaceKey(std::get<0>(second)) <= key(second));
    QVERIFY(firstRaceKey(std::get<0>(first).addDays(1)) > key(first));
    // A key gives back the day and the race number it was made of.
    for (const RaceAt &r : { first, second }) {
        QCOMPARE(raceKeyJulianDay(key(r)), std::get<0>(r).toJulianDay());
        QCOMPARE(raceKeyRace(key(r)), std::get<2>(r));
    }
}

void TestLibraryQueries::historyCsv_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("note"); // part of the one line on standard error, "" for none
    const QString header = QStringLiteral(
        "date,venue_code,venue,race,heading,boat,course,placing,rank,start,race_time,technique");
    QTest::newRow("whole library, dead heat and void race")
        << QStringList { QStringLiteral("4101") }
        << QStringList { header,
               QStringLiteral("2020-01-01,01,桐生,1,一　　般,1,1,01,1,0.10,1.50.0,逃げ"),
               QStringLiteral("2020-01-01,02,戸田,12,優勝戦,1,1,01,1,0.13,1.50.0,差し"),
               QStringLiteral("2020-01-02,01,桐生,3,一　　般,1,1,01,1,0.05,1.50.0,"),
               QStringLiteral("2020-01-03,01,桐生,5,一　　般,1,1,02,2,0.18,1.50.0,") }
        << QString();
    QTest::newRow("period") << QStringList { QStringLiteral("4101"), QStringLiteral("--from"),
        QStringLiteral("2020-01-02"), QStringLiteral("--to"), QStringLiteral("2020-01-02") }
                            << QStringList { header,
                                   QStringLiteral(
                                       "2020-01-02,01,桐生,3,一　　般,1,1,01,1,0.05,1.50.0,") }
                            << QString();
    QTest::newRow("F, L and K as written")
        << QStringList { QStringLiteral("4106") }
        << QStringList { header,
               QStringLiteral("2020-01-01,01,桐生,1,一　　般,6,,K0,,K .,1.50.0,") }
        << QString();
    QTest::newRow("from after to")
        << QStringList { QStringLiteral("4101"), QStringLiteral("--from"),
               QStringLiteral("2020-01-03"), QStringLiteral("--to"), QStringLiteral("2020-01-01") }
        << QStringList { header } << QStringLiteral("--from が --to より後");
    QTest::newRow("unknown player") << QStringList { QStringLiteral("9999") }
                                    << QStringList { header } << QStringLiteral("9999");
    // A name is looked for in the whole library, whatever the period.
    QTest::newRow("name of one player, blanks of either width")
        << QStringList { QStringLiteral("京 志　郎"), QStringLiteral("--from"),
               QStringLiteral("2020-01-03") }
        << QStringList { header,
               QStringLiteral("2020-01-03,01,桐生,5,一　　般,2,2,03,3,0.16,1.50.0,") }
        << QString();
    QTest::newRow("registration number between blanks")
        << QStringList { QStringLiteral(" 4106　") }
        << QStringList { header,
               QStringLiteral("2020-01-01,01,桐生,1,一　　般,6,,K0,,K .,1.50.0,") }
        << QString();
}

void TestLibraryQueries::historyCsv()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);
    QFETCH(QString, note);
    Command command(QStringLiteral("history"), args);
    HistoryArgs parsed;
    int status = 0;
    QVERIFY(rusena::tool::parseHistoryArgs(command.context, parsed, status));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QCOMPARE(rusena::tool::writeHistoryCsv(m_db, parsed, out, command.err), 0);
    QCOMPARE(csvLines(out.data()), lines);
    command.err.flush();
    QCOMPARE(command.errText.isEmpty(), note.isEmpty());
    QVERIFY2(command.errText.contains(note), qPrintable(command.errText));
    QCOMPARE(command.errText.count(u'\n'), note.isEmpty() ? 0 : 1);
}

void TestLibraryQueries::summary_data()
{
    QTest::addColumn<QString>("reg");
    QTest::addColumn<int>("venue");
    // starts first second third F L | course 1 starts
    QTest::addColumn<QList<int>>("counts");
    // 1着率 2連対率 3連対率 (%), average ST, course 1's 1着率, 勝率, course 1's 勝率
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("void race not a start")
        << QStringLiteral("4101") << 0 << QList<int> { 3, 2, 1, 0, 0, 0, 3 }
        << QStringList { QStringLiteral("66.7"), QStringLiteral("100.0"), QStringLiteral("100.0"),
               QStringLiteral("0.137"), QStringLiteral("66.7"), QStringLiteral("9.33"),
               QStringLiteral("9.33") };
    QTest::newRow("one venue") << QStringLiteral("4101") << 2 << QList<int> { 1, 1, 0, 0, 0, 0, 1 }
                               << QStringList { QStringLiteral("100.0"), QStringLiteral("100.0"),
                                      QStringLiteral("100.0"), QStringLiteral("0.130"),
                                      QStringLiteral("100.0"), QStringLiteral("10.00"),
                                      QStringLiteral("10.00") };
    QTest::newRow("late start counts, no timing, 4th scores 4")
        << QStringLiteral("4104") << 0 << QList<int> { 2, 0, 0, 0, 0, 1, 0 }
        << QStringList { QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("0.0"),
               QStringLiteral("0.120"), QString(), QStringLiteral("2.00"), QString() };
    QTest::newRow("flying only") << QStringLiteral("4105") << 0
                                 << QList<int> { 1, 0, 0, 0, 1, 0, 0 }
                                 << QStringList { QStringLiteral("0.0"), QStringLiteral("0.0"),
                                        QStringLiteral("0.0"), QString(), QString(),
                                        QStringLiteral("0.00"), QString() };
    QTest::newRow("no course, no start")
        << QStringLiteral("4106") << 0 << QList<int> { 0, 0, 0, 0, 0, 0, 0 }
        << QStringList { QString(), QString(), QString(), QString(), QString(), QString(),
               QString() };
}

void TestLibraryQueries::summary()
{
    QFETCH(QString, reg);
    QFETCH(int, venue);
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, texts);
    const auto rows = queryHistory(m_db, reg, Period { {}, {}, venue });
    QVERIFY2(rows.ok(), qPrintable(rows.error));
    const HistorySummary s = summarize(*rows.value);
    QCOMPARE((QList<int> {
                 s.starts, s.first, s.second, s.third, s.flying, s.late, s.startsByCourse[1] }),
        counts);
    QCOMPARE((QStringList { percentText(s.topN(1), s.starts), percentText(s.topN(2), s.starts),
                 percentText(s.topN(3), s.starts), s.averageStart(), s.courseFirstShare(1),
                 s.pointsAverage(), s.coursePointsAverage(1) }),
        texts);
}

void TestLibraryQueries::statsCsv_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("expected"); // lines that must be among the rows
    QTest::addColumn<bool>("note"); // a note on standard error
    // venue,course,勝率 as the window shows them (4th to 6th places count too)
    QTest::addColumn<QStringList>("points");
    QTest::newRow("all venues") << QStringList {} << 18
                                << QStringList { QStringLiteral(
                                                     "01,1,2,1,1,0,0.500,1.000,1.000,0.140"),
                                       QStringLiteral("01,2,2,0,1,1,0.000,0.500,1.000,0.155"),
                                       QStringLiteral("01,3,2,1,0,1,0.500,0.500,1.000,0.145"),
                                       QStringLiteral("01,5,1,0,0,0,0.000,0.000,0.000,"),
                                       QStringLiteral("01,6,0,0,0,0,,,,"),
                                       QStringLiteral("02,1,1,1,0,0,1.000,1.000,1.000,0.130"),
                                       QStringLiteral("02,4,1,0,0,0,0.000,0.000,0.000,"),
                                       QStringLiteral("all,1,3,2,1,0,0.667,1.000,1.000,0.137"),
                                       QStringLiteral("all,2,3,1,1,1,0.333,0.667,1.000,0.140"),
                                       QStringLiteral("all,3,3,1,0,2,0.333,0.333,1.000,0.143"),
                                       QStringLiteral("all,4,2,0,0,0,0.000,0.000,0.000,0.120"),
                                       QStringLiteral("all,6,0,0,0,0,,,,") }
                                << false
                                << QStringList { QStringLiteral("01,4,4.00"),
                                       QStringLiteral("all,1,9.33"), QStringLiteral("all,4,2.00"),
                                       QStringLiteral("all,5,0.00"), QStringLiteral("all,6,") };
    QTest::newRow("period without venue 02")
        << QStringList { QStringLiteral("--from"), QStringLiteral("2020-01-02") } << 12
        << QStringList { QStringLiteral("01,1,1,0,1,0,0.000,1.000,1.000,0.180"),
               QStringLiteral("all,1,1,0,1,0,0.000,1.000,1.000,0.180") }
        << false << QStringList { QStringLiteral("all,1,8.00") };
    QTest::newRow("to only: first day, both venues")
        << QStringList { QStringLiteral("--to"), QStringLiteral("2020-01-01") } << 18
        << QStringList { QStringLiteral("01,1,1,1,0,0,1.000,1.000,1.000,0.100"),
               QStringLiteral("02,1,1,1,0,0,1.000,1.000,1.000,0.130"),
               QStringLiteral("all,1,2,2,0,0,1.000,1.000,1.000,0.115") }
        << false << QStringList { QStringLiteral("01,4,4.00"), QStringLiteral("all,4,2.00") };
    QTest::newRow("venue without starts, one digit")
        << QStringList { QStringLiteral("--venue"), QStringLiteral("3") } << 6
        << QStringList { QStringLiteral("03,1,0,0,0,0,,,,"), QStringLiteral("03,6,0,0,0,0,,,,") }
        << false << QStringList { QStringLiteral("03,1,") };
    QTest::newRow("venue") << QStringList { QStringLiteral("--venue"), QStringLiteral("02") } << 6
                           << QStringList { QStringLiteral("02,2,1,1,0,0,1.000,1.000,1.000,0.110") }
                           << false
                           << QStringList { QStringLiteral("02,2,10.00"),
                                  QStringLiteral("02,4,0.00") };
    QTest::newRow("from after to")
        << QStringList { QStringLiteral("--from"), QStringLiteral("2020-01-03"),
               QStringLiteral("--to"), QStringLiteral("2020-01-01") }
        << 6 << QStringList { QStringLiteral("all,1,0,0,0,0,,,,") } << true << QStringList {};
    // The whole month from its roll-up; the days of a month cut short from their rows.
    QTest::newRow("one whole month")
        << QStringList { QStringLiteral("--from"), QStringLiteral("2020-01-01"),
               QStringLiteral("--to"), QStringLiteral("2020-01-31") }
        << 18 << QStringList { QStringLiteral("all,1,3,2,1,0,0.667,1.000,1.000,0.137") } << false
        << QStringList {};
    QTest::newRow("month cut short at both ends")
        << QStringList { QStringLiteral("--from"), QStringLiteral("2020-01-02"),
               QStringLiteral("--to"), QStringLiteral("2020-01-30") }
        << 12 << QStringList { QStringLiteral("all,1,1,0,1,0,0.000,1.000,1.000,0.180") } << false
        << QStringList {};
    QTest::newRow("months around, days before and after")
        << QStringList { QStringLiteral("--from"), QStringLiteral("2019-11-30"),
               QStringLiteral("--to"), QStringLiteral("2020-02-01") }
        << 18 << QStringList { QStringLiteral("all,1,3,2,1,0,0.667,1.000,1.000,0.137") } << false
        << QStringList {};
}

void TestLibraryQueries::statsCsv()
{
    QFETCH(QStringList, args);
    QFETCH(int, rows);
    QFETCH(QStringList, expected);
    QFETCH(bool, note);
    QFETCH(QStringList, points);
    Command command(QStringLiteral("stats"), args);
    Period period;
    int status = 0;
    QVERIFY(rusena::tool::parseStatsArgs(command.context, period, status));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QCOMPARE(rusena::tool::writeStatsCsv(m_db, period, out, command.err), 0);
    command.err.flush();
    QCOMPARE(command.errText.count(u'\n'), note ? 1 : 0);
    QVERIFY(
        out.data().startsWith("\xEF\xBB\xBFvenue_code,course,starts,first,second,third,win_rate,"
                              "top2_rate,top3_rate,avg_start\r\n"));
    const QStringList lines = csvLines(out.data()).mid(1);
    QCOMPARE(lines.size(), rows);
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line), qPrintable(line));

    // 勝率 by venue and course, as the window shows it.
    const auto report = queryStats(m_db, period);
    QVERIFY(report.ok());
    QStringList pointLines;
    for (const CourseStats &row : report.value->courses)
        pointLines << statsCsvFields(row).mid(0, 2).join(u',') + u',' + row.pointsAverage();
    for (const QString &line : points)
        QVERIFY2(pointLines.contains(line), qPrintable(line));
}

void TestLibraryQueries::statsFollowReplacedDay()
{
    QSqlDatabase db = libraryfixture::open(QStringLiteral("replaced"));
    const auto before = queryStats(db, Period {});
    QVERIFY(before.ok());
    QCOMPARE(statsCsvFields(before.value->courses.at(12)).join(u','),
        QStringLiteral("all,1,3,2,1,0,0.667,1.000,1.000,0.137"));
    // The day of 2020-01-03 re-imported with other bytes: boat 1 now won.
    libraryfixture::exec(db,
        QStringLiteral("UPDATE entries SET rank = 1"
                       " WHERE race_id = (SELECT id FROM races WHERE seq = 4) AND seq = 2"));
    // Its summaries and their month written again, as a replaced day's are.
    libraryfixture::exec(db, QStringLiteral("DELETE FROM course_stats WHERE date = '2020-01-03'"));
    libraryfixture::exec(
        db, QStringLiteral("DELETE FROM technique_counts WHERE date = '2020-01-03'"));
    libraryfixture::summariseRaces(db, 4, 4);
    libraryfixture::rollUp(db);
    const auto after = queryStats(db, Period {});
    QVERIFY(after.ok());
    QCOMPARE(statsCsvFields(after.value->courses.at(12)).join(u','),
        QStringLiteral("all,1,3,3,0,0,1.000,1.000,1.000,0.137"));
}

void TestLibraryQueries::techniques()
{
    const auto report = queryStats(m_db, Period {});
    QVERIFY(report.ok());
    QStringList seen;
    for (const TechniqueCount &t : report.value->techniques)
        seen << t.technique + u' ' + QString::number(t.races) + u' ' + t.share;
    // The void race's empty technique is no technique; ties in count by name.
    QCOMPARE(seen,
        (QStringList { QStringLiteral("まくり 1 33.3"), QStringLiteral("差し 1 33.3"),
            QStringLiteral("逃げ 1 33.3") }));
}

void TestLibraryQueries::findPlayers_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QStringList>("regs");
    // The first player found: his name, first and last day, starts as the statistics count.
    QTest::addColumn<QString>("first");
    QTest::newRow("half-width blank, two players")
        << QStringLiteral("長 尾") << QStringList { QStringLiteral("4102"), QStringLiteral("4103") }
        << QStringLiteral("長　尾　　京志郎 2020-01-01 2020-01-03 3");
    QTest::newRow("padded as the file writes it")
        << QStringLiteral("長　尾　　京") << QStringList { QStringLiteral("4102") }
        << QStringLiteral("長　尾　　京志郎 2020-01-01 2020-01-03 3");
    QTest::newRow("middle of the name, void race no start")
        << QStringLiteral("尊春") << QStringList { QStringLiteral("4101") }
        << QStringLiteral("三井所　　尊　春 2020-01-01 2020-01-03 3");
    QTest::newRow("no course, no start")
        << QStringLiteral("佐藤") << QStringList { QStringLiteral("4106") }
        << QStringLiteral("佐藤 2020-01-01 2020-01-01 0");
    QTest::newRow("no one") << QStringLiteral("山本") << QStringList {} << QString();
    QTest::newRow("blanks only") << QStringLiteral(" 　") << QStringList {} << QString();
    QTest::newRow("like wildcard is literal") << QStringLiteral("%") << QStringList {} << QString();
}

void TestLibraryQueries::findPlayers()
{
    QFETCH(QString, part);
    QFETCH(QStringList, regs);
    QFETCH(QString, first);
    const auto found = rusena::library::findPlayers(m_db, part);
    QVERIFY(found.ok());
    QStringList seen;
    for (const PlayerMatch &p : *found.value)
        seen << p.reg;
    QCOMPARE(seen, regs);
    if (!found.value->isEmpty()) {
        const PlayerMatch &p = found.value->first();
        QCOMPARE(
            QStringList({ p.name, p.firstDay, p.lastDay, QString::number(p.starts) }).join(u' '),
            first);
    }
}

void TestLibraryQueries::payoutSummary_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<qint64>("minimum");
    // races, races with a ３連単, median, largest, 10,000 yen or more
    QTest::addColumn<QList<qint64>>("figures");
    QTest::addColumn<QList<int>>(
        "bins"); // from 0, 1000, 2000, 5000, 10000, 20000, 50000, 100000 yen
    QTest::newRow("all: dead heat counts its larger")
        << QString() << qint64(0) << QList<qint64> { 4, 3, 10001, 12340, 2 }
        << QList<int> { 0, 0, 0, 1, 2, 0, 0, 0 };
    QTest::newRow("10,001 and more, median half up")
        << QString() << qint64(10001) << QList<qint64> { 2, 2, 11171, 12340, 2 }
        << QList<int> { 0, 0, 0, 0, 2, 0, 0, 0 };
    QTest::newRow("one day, even count")
        << QStringLiteral("2020-01-01") << qint64(0) << QList<qint64> { 2, 2, 8670, 12340, 1 }
        << QList<int> { 0, 0, 0, 1, 1, 0, 0, 0 };
    QTest::newRow("void day") << QStringLiteral("2020-01-02") << qint64(0)
                              << QList<qint64> { 1, 0, -1, -1, 0 }
                              << QList<int> { 0, 0, 0, 0, 0, 0, 0, 0 };
}

void TestLibraryQueries::payoutSummary()
{
    QFETCH(QString, day);
    QFETCH(qint64, minimum);
    QFETCH(QList<qint64>, figures);
    QFETCH(QList<int>, bins);
    const QDate date = QDate::fromString(day, Qt::ISODate);
    const auto rows = queryPayouts(m_db, Period { date, date, 0 });
    QVERIFY(rows.ok());
    const QList<PayoutRow> kept = withTrifectaAtLeast(*rows.value, minimum);
    const PayoutSummary s = summarize(kept);
    const auto histogram = trifectaHistogram(kept);
    QCOMPARE(QList<int>(histogram.begin(), histogram.end()), bins);
    QCOMPARE((QList<qint64> { s.races, s.trifectaRaces, s.medianTrifecta.value_or(-1),
                 s.largestTrifecta.value_or(-1), s.trifecta10k }),
        figures);
}

void TestLibraryQueries::payoutCells()
{
    const auto rows = queryPayouts(m_db, Period { {}, {}, 2 });
    QVERIFY(rows.ok());
    QCOMPARE(rows.value->size(), 1);
    const PayoutRow &r = rows.value->first();
    const auto cell = [&r](Bet bet) {
        const QList<PaidLine> &paid = r.bets[int(bet)];
        return QStringList { combinationText(paid), yenText(paid), popularityText(paid) };
    };
    QCOMPARE(cell(Bet::Win),
        (QStringList {
            QStringLiteral("2 / 1"), QStringLiteral("200 / 180"), QStringLiteral("1 / 2") }));
    QCOMPARE(cell(Bet::Exacta),
        (QStringList { QStringLiteral("特払い"), QStringLiteral("70"), QString() }));
    QCOMPARE(cell(Bet::Quinella), (QStringList { QString(), QString(), QString() }));
    QCOMPARE(cell(Bet::Trifecta),
        (QStringList { QStringLiteral("2-1-3 / 1-2-3"), QStringLiteral("5,000 / 4,000"),
            QStringLiteral("10 / 8") }));
    QCOMPARE(cell(Bet::Trio), (QStringList { QStringLiteral("不成立"), QString(), QString() }));
    QCOMPARE(r.largestYen(Bet::Exacta), std::nullopt); // a special payout is no payout size
}

void TestLibraryQueries::groupedYen_data()
{
    QTest::addColumn<qint64>("yen");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << QStringLiteral("0");
    QTest::newRow("three digits") << qint64(999) << QStringLiteral("999");
    QTest::newRow("four digits") << qint64(1000) << QStringLiteral("1,000");
    QTest::newRow("millions") << qint64(1234567) << QStringLiteral("1,234,567");
    QTest::newRow("negative") << qint64(-1500) << QStringLiteral("-1,500");
}

void TestLibraryQueries::groupedYen()
{
    QFETCH(qint64, yen);
    QFETCH(QString, text);
    QCOMPARE(rusena::library::groupedYen(yen), text);
}

void TestLibraryQueries::arguments_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says"); // part of what standard error says
    const auto s
        = [](const char *text) { return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts); };
    const QString history = QStringLiteral("history"), stats = QStringLiteral("stats");
    QTest::newRow("history plain") << history << s("4101") << 0 << QString();
    QTest::newRow("history period")
        << history << s("--from 2020-01-01 4101 --to 2020-02-29") << 0 << QString();
    QTest::newRow("history three digits, no such name")
        << history << s("410") << 2 << QStringLiteral("「410」に当たる選手はいません");
    QTest::newRow("history full-width digits are a name")
        << history << s("４１０１") << 2 << QStringLiteral("４１０１");
    QTest::newRow("history 12a4 keeps its status") << history << s("12a4") << 2 << QString();
    QTest::newRow("history name of two players lists them")
        << history << s("長尾") << 2 << QStringLiteral("4103  長　尾　　太　郎");
    QTest::newRow("history blanks only")
        << history << QStringList { QStringLiteral(" 　") } << 2 << QStringLiteral("登録番号");
    QTest::newRow("history no player") << history << s("--from 2020-01-01") << 2 << QString();
    QTest::newRow("history two players") << history << s("4101 4102") << 2 << QString();
    QTest::newRow("history venue not allowed") << history << s("4101 --venue 1") << 2 << QString();
    QTest::newRow("not a real date")
        << history << s("4101 --from 2020-02-30") << 2 << QStringLiteral("その日付はありません");
    QTest::newRow("date without padding")
        << history << s("4101 --to 2020-1-5") << 2 << QStringLiteral("YYYY-MM-DD");
    QTest::newRow("date missing") << history << s("4101 --to") << 2 << QString();
    QTest::newRow("stats plain") << stats << s("") << 0 << QString();
    QTest::newRow("stats venue 24") << stats << s("--venue 24") << 0 << QString();
    QTest::newRow("stats venue 0") << stats << s("--venue 0") << 2 << QString();
    QTest::newRow("stats venue 25") << stats << s("--venue 25") << 2 << QString();
    QTest::newRow("stats venue three digits") << stats << s("--venue 001") << 2 << QString();
    QTest::newRow("stats venue twice")
        << stats << s("--venue 1 --venue 2") << 2 << QStringLiteral("二度");
    QTest::newRow("stats stray word") << stats << s("all") << 2 << QStringLiteral("all");
    QTest::newRow("stats unknown option") << stats << s("--days 3") << 2 << QStringLiteral("days");
}

void TestLibraryQueries::arguments()
{
    QFETCH(QString, command);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, says);
    // The whole command: a bad argument writes nothing to standard output and says why.
    Command run(command, args);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    int got = 0;
    const bool parsed = [&] {
        if (command == u"history") {
            HistoryArgs history;
            return rusena::tool::parseHistoryArgs(run.context, history, got)
                && (got = rusena::tool::writeHistoryCsv(m_db, history, out, run.err), true);
        }
        Period period;
        return rusena::tool::parseStatsArgs(run.context, period, got)
            && (got = rusena::tool::writeStatsCsv(m_db, period, out, run.err), true);
    }();
    run.err.flush();
    QCOMPARE(got, status);
    QVERIFY(parsed || status != 0);
    QCOMPARE(out.data().isEmpty(), status != 0);
    QCOMPARE(run.errText.isEmpty(), status == 0);
    QVERIFY2(run.errText.contains(says), qPrintable(run.errText));
}

void TestLibraryQueries::commandLine_data()
{
    // DIR stands for the data folder, SRC for a folder holding a day and a stray file.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("folder"); // what it holds: none, library, broken
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("prints"); // part of standard output, "" for nothing
    QTest::addColumn<QString>("says"); // part of standard error
    const auto s
        = [](const char *text) { return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts); };
    const QString none = QStringLiteral("none"), library = QStringLiteral("library");
    // Bad arguments: exit status 2, a message, nothing done.
    QTest::newRow("unknown option before the command")
        << s("--bogus --data-folder DIR list") << none << 2 << QString() << QStringLiteral("bogus");
    QTest::newRow("data folder without a value")
        << s("--data-folder") << none << 2 << QString() << QStringLiteral("--data-folder");
    QTest::newRow("data folder twice") << s("--data-folder DIR --data-folder DIR list") << library
                                       << 2 << QString() << QStringLiteral("二度");
    QTest::newRow("empty data folder")
        << QStringList { QStringLiteral("--data-folder"), QString(), QStringLiteral("list") }
        << none << 2 << QString() << QStringLiteral("空");
    QTest::newRow("list extra") << s("--data-folder DIR list extra") << library << 2 << QString()
                                << QStringLiteral("extra");
    QTest::newRow("rebuild extra") << s("--data-folder DIR rebuild extra") << none << 2 << QString()
                                   << QStringLiteral("extra");
    QTest::newRow("unknown command")
        << s("--data-folder DIR lists") << none << 2 << QString() << QStringLiteral("lists");
    QTest::newRow("no command") << s("--data-folder DIR") << none << 2 << QString()
                                << QStringLiteral("コマンド");
    // Reading commands neither create a library nor rebuild a broken one.
    const QString noLibrary = QStringLiteral("ライブラリがありません");
    QTest::newRow("list without a library")
        << s("--data-folder DIR list") << none << 1 << QString() << noLibrary;
    QTest::newRow("history without a library")
        << s("--data-folder DIR history 4101") << none << 1 << QString() << noLibrary;
    QTest::newRow("stats without a library")
        << s("--data-folder DIR stats") << none << 1 << QString() << noLibrary;
    QTest::newRow("export without a library")
        << s("--data-folder DIR export DIR/csv") << none << 1 << QString() << noLibrary;
    QTest::newRow("import of a missing path")
        << s("--data-folder DIR import DIR/k200101.lzh DIR/nowhere/K200101.TXT") << library << 1
        << QStringLiteral("nowhere/K200101.TXT: 取り込めません (ファイルもフォルダもありません)")
        << QString();
    // An archive's read-me is passed over and makes no failure; its names print escaped.
    QTest::newRow("archive with a read-me")
        << s("--data-folder DIR import DIR/k200815.lzh") << QStringLiteral("archive") << 0
        << QStringLiteral("(お知らせ.txt): 対象外") << QString();
    QTest::newRow("list of a name with control characters")
        << s("--data-folder DIR list") << QStringLiteral("archive imported") << 0
        << QStringLiteral("K200815.TXT\\x1b]0;x\\x07  成績\n") << QString();
    QTest::newRow("import of a folder with a stray file")
        << s("--data-folder DIR import SRC") << library << 0
        << QStringLiteral("SOURCES.txt: 対象外 (日のファイルではありません)\n"
                          "追加 1、置き換え 0、登録済みと同じ 0、対象外 1、取り込めず 0\n")
        << QString();
    QTest::newRow("check of a sound library") << s("--data-folder DIR check") << library << 0
                                              << QStringLiteral("異常はありません") << QString();
    QTest::newRow("check without a library")
        << s("--data-folder DIR check") << none << 1 << QString() << noLibrary;
    QTest::newRow("library that fails to open")
        << s("--data-folder DIR stats") << QStringLiteral("broken") << 1 << QString()
        << QStringLiteral("ライブラリを");
    QTest::newRow("stats of an empty library, straight to the output")
        << s("--data-folder DIR stats --venue 3") << library << 0
        << QStringLiteral("\uFEFFvenue_code,course,") << QString();
    QTest::newRow("version") << s("--version") << none << 0 << QStringLiteral("rusena-library 1.")
                             << QString();
    QTest::newRow("venues") << s("venues") << none << 0 << QStringLiteral("01  桐生\n")
                            << QString();
    QTest::newRow("the last venue")
        << s("venues") << none << 0 << QStringLiteral("\n24  大村\n") << QString();
    QTest::newRow("a command's help names it")
        << s("history --help") << none << 0 << QStringLiteral("rusena-library history")
        << QString();
}

void TestLibraryQueries::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QString, folder);
    QFETCH(int, status);
    QFETCH(QString, prints);
    QFETCH(QString, says);
    QTemporaryDir root;
    const QString dir = root.path() + QStringLiteral("/data");
    if (folder == u"library")
        QVERIFY(Library(dir).open().ok());
    else if (folder == u"broken")
        QVERIFY(QDir().mkpath(Library(dir).indexPath())); // a folder where the index belongs
    if (folder.startsWith(u"archive")) {
        const QByteArray day = readBytes(QStringLiteral(RUSENA_TEST_DATA "/k200815.txt"), {});
        const QString archive = dir + QStringLiteral("/k200815.lzh");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(writeBytes(archive,
            lzhArchive({ { "K200815.TXT\x1b]0;x\x07", day },
                { "\x82\xa8\x92\x6d\x82\xe7\x82\xb9.txt", "hi" } }))); // お知らせ.txt
        if (folder.endsWith(u"imported")) {
            Library library(dir);
            QCOMPARE(importSources(library, { archive }).count(DayImport::Result::Added), 1);
        }
    }
    const QString source = root.path() + QStringLiteral("/in");
    QVERIFY(QDir().mkpath(source));
    QVERIFY(QFile::copy(
        QStringLiteral(RUSENA_TEST_DATA "/k200815.txt"), source + QStringLiteral("/K200815.TXT")));
    QFile stray(source + QStringLiteral("/SOURCES.txt"));
    QVERIFY(stray.open(QIODevice::WriteOnly) && stray.write("where the days came from\n") > 0);
    stray.close();
    for (QString &arg : args)
        arg.replace(QStringLiteral("DIR"), dir).replace(QStringLiteral("SRC"), source);
    QBuffer outBytes;
    outBytes.open(QIODevice::WriteOnly);
    QTextStream out(&outBytes);
    QString errText;
    QTextStream err(&errText);
    const int got = rusena::tool::runCommandLine(
        QStringList { QStringLiteral("rusena-library") } + args, out, err);
    out.flush();
    err.flush();
    const QByteArray printed = outBytes.data();
    QCOMPARE(got, status);
    QVERIFY2(prints.isEmpty() ? printed.isEmpty() : printed.contains(prints.toUtf8()),
        printed.constData());
    QVERIFY2(errText.contains(says), qPrintable(errText));
    if (status == 0)
        QCOMPARE(errText, QString());
    if (folder == u"none")
        QVERIFY(!QFileInfo::exists(dir)); // nothing done, nothing created
}

// The rows a query frees stay with the process for the next query instead of going back
// to the system, which made the next one fault every page in again.
void TestLibraryQueries::freedHeapKept()
{
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 33) && !defined(__SANITIZE_ADDRESS__)
    rusena::keepFreedHeap();
    const size_t before = mallinfo2().arena;
    std::vector<std::unique_ptr<char[]>> rows;
    for (int i = 0; i < 32768; ++i) // 16 MB: more than the heap holds free
        rows.emplace_back(new char[512]);
    const size_t grown = mallinfo2().arena;
    QVERIFY(grown > before);
    rows.clear();
    QCOMPARE(mallinfo2().arena, grown); // nothing handed back
#else
    QSKIP("glibc's own allocator only");
#endif
}

QTEST_GUILESS_MAIN(TestLibraryQueries)
#include "tst_libraryqueries.moc"
