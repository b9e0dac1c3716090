// Programme days: the reader on real and hand-made files, and each entrant's form worked
// out by hand on the hand-made library (its dead heat, void race, F start and K row
// without a course), through the query and `rusena-library form`.

#include "filebytes.h"
#include "libraryfixture.h"

#include "library/formquery.h"
#include "library/placingpoints.h"
#include "library/programmeparser.h"
#include "store/cp932.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena::library;
using namespace Qt::StringLiterals;

namespace {

// A programme section's head as the organiser writes it, then its races.
QString section(const QString &code, const QString &races,
    const QString &dateLine
    = u"   第　１日          ２０２０年　１月　５日                  ボートレース住之江"_s)
{
    return code
        + u"BBGN\r\n"
          u"ボートレース住之江   　１月　５日  年末年始第１回杯  第　１日\r\n\r\n"
          u"                            ＊＊＊　番組表　＊＊＊\r\n\r\n"
          u"          年末年始第１回杯　　　\r\n\r\n"_s
        + dateLine
        + u"\r\n\r\n               －内容については主催者発行のものと照合して下さい－\r\n\r\n\r\n"_s
        + races + code + u"BEND\r\n"_s;
}

const QString Titles
    = u"-------------------------------------------------------------------------------\r\n"
      u"艇 選手 選手  年 支 体級    全国      当地     モーター   ボート   今節成績  早\r\n"
      u"番 登番  名   齢 部 重別 勝率  2率  勝率  2率  NO  2率  NO  2率  １２３４５６見\r\n"
      u"-------------------------------------------------------------------------------\r\n"_s;

QString race(const QString &label, const QStringList &rows)
{
    return label + u"\r\n"_s + Titles + rows.join(u"\r\n"_s) + u"\r\n"_s;
}

const QString Row1
    = u"1 4164岩永節也37長崎51B1 3.62 15.31 4.45 21.49 62 40.31 15 36.28 4 354        6"_s;
const QString Row2
    = u"2 2958井川正人62長崎50B1 3.94 14.71 4.52 28.57 23 45.26 32 40.98 561 6        7"_s;
const QString Label1 = u"　１Ｒ  一般（Ｂ組）          Ｈ１８００ｍ  電話投票締切予定１５：１５ "_s;

QString day(const QString &sections)
{
    return u"STARTB\r\n"_s + sections + u"FINALB\r\n"_s;
}

// One field of the parsed day, by name: enough of each part for the table's probes.
QString probe(const ParsedProgramme &p, const QString &what)
{
    if (p.races.isEmpty() || p.races.last().entrants.isEmpty())
        return {};
    const ProgrammeRace &r = p.races.last();
    const rusena::programmelayout::EntrantRow &e = r.entrants.last();
    const ProgrammeSection &s = p.sections.at(r.section);
    const QStringList fields { QString::number(r.label.race), r.label.name.toString(),
        r.label.fixedEntry ? u"固定"_s : u"-"_s, r.label.distance, r.label.deadline,
        s.title.toString(), s.meetingDay, s.date.toString(Qt::ISODate), e.boat.toString(),
        e.reg.toString(), e.name.toString(), e.age.toString(), e.branch.toString(),
        e.weight.toString(), e.grade.toString(), e.nationalWinRate.toString(),
        e.nationalTop2Rate.toString(), e.localWinRate.toString(), e.localTop2Rate.toString(),
        e.motor.toString(), e.motorTop2Rate.toString(), e.boatNumber.toString(),
        e.boatTop2Rate.toString(), u'[' + e.meetingResults.toString() + u']',
        e.earlyRace.toString() };
    Q_UNUSED(what);
    return fields.join(u'|');
}

// The CSV lines of `rusena-library form`, without BOM and header.
QStringList formLines(const ProgrammeRaceForm &race)
{
    QStringList lines;
    for (qsizetype i = 0; i < race.entrants.size(); ++i)
        lines.append(formCsvFields(race.entrants[i], race.forms[i]).join(u','));
    return lines;
}

// The hand-made library, with one more race on its last day (4101 from course 2, third, in
// race 3 of venue 02: before his race 5 of venue 01 that day, newest first by race number)
// and programme races for the day after it and for that last day itself.
void addProgrammes(QSqlDatabase &db)
{
    using libraryfixture::exec;
    libraryfixture::race(db, 5, u"2020-01-03"_s, 2, 3, u"一　　般"_s, u"逃げ"_s, false);
    libraryfixture::entry(db, 5, 1, u"03"_s, 2, u"4101"_s, libraryfixture::A, 2, u"0.20"_s);
    for (const QString &date : { u"2020-01-03"_s, u"2020-01-04"_s }) {
        exec(db, u"INSERT INTO programme_days VALUES (?, 'B.TXT', 'B.TXT', 1, '', 1, 1)"_s,
            { date });
        exec(db,
            u"INSERT INTO programme_races (date, venue_code, race, seq, meeting_title,"
            " meeting_day, race_name, fixed_entry, distance_m, deadline)"
            " VALUES (?, 12, 7, 0, '杯', '1', '一般', 0, '1800', '')"_s,
            { date });
        const QVariant raceId = date == u"2020-01-03" ? 1 : 2;
        const QStringList regs { u"4101"_s, u"4102"_s, u"4103"_s, u"4105"_s, u"4106"_s, u"4999"_s };
        for (int boat = 1; boat <= 6; ++boat)
            exec(db,
                u"INSERT INTO programme_entries VALUES (?, ?, ?, ?, '選手', '30', '大阪', '52',"
                " 'A1', '', '', '', '', '', '', '', '', '', '')"_s,
                { raceId, boat - 1, QString::number(boat), regs[boat - 1] });
    }
}

} // namespace

class TestProgrammes final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reader_data();
    void reader();
    void pointsAverage_data();
    void pointsAverage();
    void form_data();
    void form();
    void formCommand_data();
    void formCommand();
};

void TestProgrammes::reader_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("counts"); // sections, races, entrant rows
    QTest::addColumn<QString>("last"); // probe() of the last race's last entrant

    // Counted independently on the files: their NNBBGN lines, label lines and rows.
    QTest::newRow("real day (B200414)")
        << rusena::decodeCp932(readBytes(QStringLiteral(RUSENA_TEST_DATA "/B200414.TXT")))
        << QList<int> { 8, 96, 576 }
        << u"12|一般特賞|-|1800|20:41|第１３回ドラキリュウカップ・３世代対抗戦|5|2020-04-14|6|4665|"
           u"加藤啓太|36|愛知|53|B1|4.75|22.08|3.24|4.76|14|57.14|59|39.06|[531 6 14]|2"_s;
    QTest::newRow("name with a blank") << (day(section(u"12"_s,
        race(Label1,
            { Row1,
                u"2 4101百武　翔37長崎51B1 3.62 15.31 4.45 21.49 62 40.31 15 36.28 4 354        6"_s }))))
                                       << QList<int> { 1, 1, 2 }
                                       << u"1|一般（Ｂ組）|-|1800|15:15|年末年始第１回杯|1|2020-01-"
                                          u"05|2|4101|百武　翔|37|長崎|51|"
                                          u"B1|3.62|15.31|4.45|21.49|62|40.31|15|36.28|[4 354]|6"_s;
    QTest::newRow("section with no race")
        << (day(
               section(u"12"_s,
                   u"          この場のデータ更新は、いましばらくお待ちください。\r\n"_s, QString())
               + section(u"05"_s, race(Label1, { Row1 }))))
        << QList<int> { 2, 1, 1 }
        << u"1|一般（Ｂ組）|-|1800|15:15|年末年始第１回杯|1|2020-01-05|1|4164|岩永節也|37|長崎|51|"
           u"B1|3.62|15.31|4.45|21.49|62|40.31|15|36.28|[4 354]|6"_s;
    QTest::newRow("all figures zero")
        << (day(section(u"12"_s,
               race(Label1,
                   { u"3 5011高木圭大22長崎51B2 0.00  0.00 0.00  0.00  0  0.00  0  0.00"_s }))))
        << QList<int> { 1, 1, 1 }
        << u"1|一般（Ｂ組）|-|1800|15:15|年末年始第１回杯|1|2020-01-05|3|5011|高木圭大|22|長崎|51|"
           u"B2|0.00|0.00|0.00|0.00|0|0.00|0|0.00|[]|"_s;
    QTest::newRow("numbers a character wider, a results slot left blank")
        << (day(section(u"12"_s,
               race(Label1,
                   { u"4 5012高木圭二22長崎51B2 0.00  0.0010.00100.00 11100.00112100.00  F     "_s }))))
        << QList<int> { 1, 1, 1 }
        << u"1|一般（Ｂ組）|-|1800|15:15|年末年始第１回杯|1|2020-01-05|4|5012|高木圭二|22|長崎|51|"
           u"B2|0.00|0.00|10.00|100.00|11|100.00|112|100.00|[ F]|"_s;
    QTest::newRow("two-digit race, name holding Ｒ, fixed entry")
        << (day(section(u"12"_s,
               race(u"１２Ｒ  カステラＤＲ 進入固定 Ｈ１８００ｍ  電話投票締切予定２０：３２ "_s,
                   { Row2 }))))
        << QList<int> { 1, 1, 1 }
        << u"12|カステラＤＲ|固定|1800|20:32|年末年始第１回杯|1|2020-01-05|2|2958|井川正人|62|長崎|"
           u"50|B1|3.94|14.71|4.52|28.57|23|45.26|32|40.98|[561 6]|7"_s;
    QTest::newRow("no 締切予定, a day word, a date of one-digit month and day")
        << (day(section(u"12"_s, race(u"　９Ｒ  優勝戦                Ｈ１２００ｍ"_s, { Row2 }),
               u"   初日          ２０２０年　８月　１日"_s)))
        << QList<int> { 1, 1, 1 }
        << u"9|優勝戦|-|1200||年末年始第１回杯|1|2020-08-01|2|2958|井川正人|62|長崎|"
           u"50|B1|3.94|14.71|4.52|28.57|23|45.26|32|40.98|[561 6]|7"_s;
    QTest::newRow("venue code outside 1..24")
        << (day(section(u"25"_s, race(Label1, { Row1 })))) << QList<int> { 0, 0, 0 } << QString();
}

void TestProgrammes::reader()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, counts);
    QFETCH(QString, last);
    const ParsedProgramme p = parseProgramme(text);
    int rows = 0;
    for (const ProgrammeRace &r : p.races)
        rows += int(r.entrants.size());
    QCOMPARE((QList<int> { int(p.sections.size()), int(p.races.size()), rows }), counts);
    QCOMPARE(probe(p, {}), last);
}

void TestProgrammes::pointsAverage_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QString>("text");
    QTest::newRow("24 over 4") << 24 << 4 << u"6.00"_s;
    QTest::newRow("5 over 3 rounds up") << 5 << 3 << u"1.67"_s;
    QTest::newRow("exactly half a hundredth rounds up") << 1 << 8 << u"0.13"_s;
    QTest::newRow("all wins") << 30 << 3 << u"10.00"_s;
    QTest::newRow("no start") << 0 << 0 << QString();
}

void TestProgrammes::pointsAverage()
{
    QFETCH(int, points);
    QFETCH(int, starts);
    QFETCH(QString, text);
    QCOMPARE(pointsAverageText(points, starts), text);
}

void TestProgrammes::form_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("last"); // 0: every start
    QTest::addColumn<QStringList>("rows");

    // Worked out by hand from the fixture. 4101: 01 (dead heat) and 01 on 1 January, the
    // void race of the 2nd left out, 03 from course 2 (race 3) and 02 from course 1 (race 5)
    // on the 3rd.
    QTest::newRow("every start before the day")
        << QDate(2020, 1, 4) << 0
        << QStringList { u"1,4101,選手,A1,4,2,1,1,0.500,0.750,0.153,3,2,02|03|01|01,8.50"_s,
               u"2,4102,選手,A1,3,1,1,1,0.333,0.667,0.140,3,1,03|01|02,8.00"_s,
               u"3,4103,選手,A1,3,1,0,2,0.333,0.333,0.143,3,1,01|03|03,7.33"_s,
               // An F start counts, scores nothing and has no plain timing.
               u"4,4105,選手,A1,1,0,0,0,0.000,0.000,,0,0,F,0.00"_s,
               // A K row without a course is no start; 4999 has never started.
               u"5,4106,選手,A1,0,0,0,0,,,,0,0,,"_s, u"6,4999,選手,A1,0,0,0,0,,,,0,0,,"_s };
    QTest::newRow("the last start cuts the day of two starts")
        << QDate(2020, 1, 4) << 1
        << QStringList { u"1,4101,選手,A1,1,0,1,0,0.000,1.000,0.180,1,0,02,8.00"_s,
               u"2,4102,選手,A1,1,0,0,1,0.000,0.000,0.160,1,0,03,6.00"_s,
               u"3,4103,選手,A1,1,1,0,0,1.000,1.000,0.090,1,1,01,10.00"_s,
               u"4,4105,選手,A1,1,0,0,0,0.000,0.000,,0,0,F,0.00"_s,
               u"5,4106,選手,A1,0,0,0,0,,,,0,0,,"_s, u"6,4999,選手,A1,0,0,0,0,,,,0,0,,"_s };
    QTest::newRow("the programme's own day left out")
        << QDate(2020, 1, 3) << 3
        << QStringList { u"1,4101,選手,A1,2,2,0,0,1.000,1.000,0.115,2,2,01|01,10.00"_s,
               u"2,4102,選手,A1,2,1,1,0,0.500,1.000,0.130,2,1,01|02,9.00"_s,
               u"3,4103,選手,A1,2,0,0,2,0.000,0.000,0.170,2,0,03|03,6.00"_s,
               u"4,4105,選手,A1,1,0,0,0,0.000,0.000,,0,0,F,0.00"_s,
               u"5,4106,選手,A1,0,0,0,0,,,,0,0,,"_s, u"6,4999,選手,A1,0,0,0,0,,,,0,0,,"_s };
}

void TestProgrammes::form()
{
    QFETCH(QDate, date);
    QFETCH(int, last);
    QFETCH(QStringList, rows);
    {
        QSqlDatabase db = libraryfixture::open(u"form"_s);
        addProgrammes(db);
        const auto found
            = queryProgrammeRace(db, date, 12, 7, last > 0 ? StartWindow(last) : StartWindow());
        QVERIFY2(found.ok(), qPrintable(found.error));
        QVERIFY(found.value->has_value());
        QCOMPARE(formLines(**found.value), rows);
        QVERIFY(!queryProgrammeRace(db, date, 12, 8).value->has_value());
    }
    QSqlDatabase::removeDatabase(u"form"_s);
}

void TestProgrammes::formCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("lines"); // on standard output, header included

    QTest::newRow("a race of the programme") << QStringList { u"2020-04-14"_s, u"--venue"_s,
        u"21"_s, u"--race"_s, u"12"_s, u"--last"_s, u"30"_s }
                                             << 0 << 7;
    QTest::newRow("no such date") << QStringList { u"2020-02-30"_s, u"--venue"_s, u"14"_s,
        u"--race"_s, u"1"_s } << 2 << 0;
    QTest::newRow("venue 25") << QStringList { u"2020-04-14"_s, u"--venue"_s, u"25"_s, u"--race"_s,
        u"1"_s } << 2 << 0;
    QTest::newRow("race 13") << QStringList { u"2020-04-14"_s, u"--venue"_s, u"14"_s, u"--race"_s,
        u"13"_s } << 2 << 0;
    QTest::newRow("last 0") << QStringList { u"2020-04-14"_s, u"--venue"_s, u"14"_s, u"--race"_s,
        u"1"_s, u"--last"_s, u"0"_s }
                            << 2 << 0;
    QTest::newRow("last 1001") << QStringList { u"2020-04-14"_s, u"--venue"_s, u"14"_s, u"--race"_s,
        u"1"_s, u"--last"_s, u"1001"_s }
                               << 2 << 0;
    QTest::newRow("no race given")
        << QStringList { u"2020-04-14"_s, u"--venue"_s, u"14"_s } << 2 << 0;
    QTest::newRow("a venue without programme")
        << QStringList { u"2020-04-14"_s, u"--venue"_s, u"14"_s, u"--race"_s, u"1"_s } << 1 << 0;
    QTest::newRow("a date without programme")
        << QStringList { u"2020-04-15"_s, u"--venue"_s, u"14"_s, u"--race"_s, u"1"_s } << 1 << 0;
}

void TestProgrammes::formCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(int, lines);
    static QTemporaryDir data;
    static bool imported = false;
    const QString folder = data.filePath(u"library"_s);
    if (!imported) {
        QProcess tool;
        tool.start(QStringLiteral(RUSENA_LIBRARY_EXE),
            { u"--data-folder"_s, folder, u"import"_s,
                QStringLiteral(RUSENA_TEST_DATA "/B200414.TXT") });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        imported = true;
    }
    QProcess tool;
    tool.start(QStringLiteral(RUSENA_LIBRARY_EXE),
        QStringList { u"--data-folder"_s, folder, u"form"_s } + arguments);
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), status);
    const QByteArray out = tool.readAllStandardOutput();
    QCOMPARE(int(out.count("\r\n")), lines);
    // A refusal says why on standard error.
    QCOMPARE(tool.readAllStandardError().isEmpty(), status == 0);
}

QTEST_GUILESS_MAIN(TestProgrammes)

#include "tst_programmes.moc"
