// Cutting the placing rows and the technique out of a race block: real rows of every
// kind (finishers, F, L, K and S marks, the void race's "00", ties), the course fix-up,
// the technique search order, the top boats and rows the parser must refuse.

#include "race/raceparser.h"
#include "race/raceselection.h"

#include "racefixtures.h"

using namespace rusena;
using namespace Qt::StringLiterals;
using namespace racefixtures;

class TestRaceParser final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cutsRealRows_data();
    void cutsRealRows();
    void parsesRealRaces_data();
    void parsesRealRaces();
    void acceptsEveryRealRace_data();
    void acceptsEveryRealRace();
    void fixesUpCourses_data();
    void fixesUpCourses();
    void laterRowWinsASharedCourse();
    void findsTechnique_data();
    void findsTechnique();
    void topBoatsSkipAccidents_data();
    void topBoatsSkipAccidents();
    void judgesRows_data();
    void judgesRows();
    void refusesBlockWithMalformedRow_data();
    void refusesBlockWithMalformedRow();
};

namespace {

QString byCourse(const std::array<QString, 7> &values)
{
    QString joined;
    for (size_t n = 1; n <= 6; ++n)
        joined += values[n].isEmpty() ? QStringLiteral("_") : values[n];
    return joined;
}

// The race's block, as the selection copies it, from a real day.
RaceState realRace(const QString &file, int venue, int race)
{
    const LineStore store = realDay(file);
    RaceState state;
    const Outcome copied = findAndCopyRace(store, tables(), venue, race, 1, state);
    if (!copied.ok())
        qFatal("race %d of venue %d not readable in %s", race, venue, qPrintable(file));
    return state;
}

} // namespace

void TestRaceParser::cutsRealRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("venue");
    QTest::addColumn<int>("race");
    QTest::addColumn<int>("course"); // the course the row's fields land under
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("boat");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("exhibition");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("raceTime");

    const QString k0815 = QStringLiteral("k200815.txt");
    const QString k0814 = QStringLiteral("k200814.txt");
    // "  01  6 3522 長　溝　　一　生 46   41  6.80   4    0.03     1.51.8"
    QTest::newRow("winner, course 4")
        << k0815 << 23 << 5 << 4 << u"0"_s << u"6"_s << u"長　溝　　一　生"_s << u" 6.80"_s
        << u" 0.03"_s << u" 1.51.8"_s;
    // "  F   3 4942 柴　田　　朋　哉 12   50  6.77   5   F0.04      .  . "
    QTest::newRow("F row keeps its F timing")
        << k0815 << 23 << 5 << 5 << u"F"_s << u"3"_s << u"柴　田　　朋　哉"_s << u" 6.77"_s
        << u"F0.04"_s << u"  .  . "_s;
    // "  L1  1 4247 齊　藤　　　　優 47   30  6.72       L .        .  . "
    QTest::newRow("L1 row, blank course")
        << k0815 << 17 << 2 << 6 << u"L"_s << u"1"_s << u"齊　藤　　　　優"_s << u" 6.72"_s
        << u"L .  "_s << u"  .  . "_s;
    // "  L0  2 3621 天　野　　晶　夫 59   46  6.79       L .        .  . "
    QTest::newRow("L0 row, blank course")
        << k0815 << 7 << 4 << 6 << u"L"_s << u"2"_s << u"天　野　　晶　夫"_s << u" 6.79"_s
        << u"L .  "_s << u"  .  . "_s;
    // "  S1  5 3690 河　合　　三　弘 61   13  6.81   4    0.24      .  . "
    QTest::newRow("S1 row after L0")
        << k0815 << 7 << 4 << 4 << u"S"_s << u"5"_s << u"河　合　　三　弘"_s << u" 6.81"_s
        << u" 0.24"_s << u"  .  . "_s;
    // "  K1  1 3690 河　合　　三　弘 61   13 K .         K .        .  . "
    QTest::newRow("K1 row, no times")
        << k0815 << 7 << 8 << 6 << u"K"_s << u"1"_s << u"河　合　　三　弘"_s << u"K .  "_s
        << u"K .  "_s << u"  .  . "_s;
    // "  K0  4 3484 芝　田　　浩　治 38   18 K .         K .        .  . "
    QTest::newRow("K0 row in race 12")
        << u"k200105.txt"_s << 13 << 12 << 6 << u"K"_s << u"4"_s << u"芝　田　　浩　治"_s
        << u"K .  "_s << u"K .  "_s << u"  .  . "_s;
    // "  S0  3 4112 大久保　　信一郎 43   48  6.85   3    0.17      .  . "
    QTest::newRow("S0 row") << k0815 << 23 << 12 << 3 << u"S"_s << u"3"_s << u"大久保　　信一郎"_s
                            << u" 6.85"_s << u" 0.17"_s << u"  .  . "_s;
    // "  S2  4 4027 松　江　　秀　徳 39  165  6.97   4    0.29      .  . "
    QTest::newRow("S2 row") << k0815 << 22 << 10 << 4 << u"S"_s << u"4"_s << u"松　江　　秀　徳"_s
                            << u" 6.97"_s << u" 0.29"_s << u"  .  . "_s;
    // "  00  6 4053 芦　澤　　　　望 23   28  6.85   6    0.05      .  . "
    QTest::newRow("00 of a void race")
        << k0814 << 3 << 3 << 6 << u"0"_s << u"6"_s << u"芦　澤　　　　望"_s << u" 6.85"_s
        << u" 0.05"_s << u"  .  . "_s;
    // "  03  2 4441 末　永　　由　楽 51   56  6.77   3    0.05     1.53.2"
    QTest::newRow("tie, first of two 03")
        << k0814 << 17 << 6 << 3 << u"0"_s << u"2"_s << u"末　永　　由　楽"_s << u" 6.77"_s
        << u" 0.05"_s << u" 1.53.2"_s;
    // "  03  3 4471 新　田　　泰　章 27   18  6.82   4    0.03     1.53.2"
    QTest::newRow("tie, second of two 03")
        << k0814 << 17 << 6 << 4 << u"0"_s << u"3"_s << u"新　田　　泰　章"_s << u" 6.82"_s
        << u" 0.03"_s << u" 1.53.2"_s;
    // "  05  4 4194 齋　藤　　　　篤 36   57  7.17   4    0.31      .  . "
    QTest::newRow("finisher without race time")
        << k0814 << 3 << 4 << 4 << u"0"_s << u"4"_s << u"齋　藤　　　　篤"_s << u" 7.17"_s
        << u" 0.31"_s << u"  .  . "_s;
}

void TestRaceParser::cutsRealRows()
{
    QFETCH(QString, file);
    QFETCH(int, venue);
    QFETCH(int, race);
    QFETCH(int, course);
    QFETCH(QString, mark);
    QFETCH(QString, boat);
    QFETCH(QString, name);
    QFETCH(QString, exhibition);
    QFETCH(QString, start);
    QFETCH(QString, raceTime);

    RaceState state = realRace(file, venue, race);
    QVERIFY(parseRaceBlock(state));
    const auto n = static_cast<size_t>(course);
    QCOMPARE(state.placingCodes[n], mark);
    QCOMPARE(state.boatNumbers[n], boat);
    QCOMPARE(state.playerNames[n], name);
    QCOMPARE(state.exhibitionTimes[n], exhibition);
    QCOMPARE(state.startTimings[n], start);
    QCOMPARE(state.raceTimes[n], raceTime);
}

void TestRaceParser::parsesRealRaces_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("venue");
    QTest::addColumn<int>("race");
    QTest::addColumn<QString>("rowCourses");
    QTest::addColumn<QString>("boats"); // by course
    QTest::addColumn<QString>("marks"); // by course
    QTest::addColumn<QString>("top"); // "_" for an empty entry
    QTest::addColumn<QString>("technique");

    QTest::newRow("two F rows, まくり差し") << u"k200815.txt"_s << 23 << 5 << u"413256"_s
                                            << u"124635"_s << u"0000FF"_s << u"614"_s << u"6"_s;
    QTest::newRow("K1 takes the free course 6") << u"k200815.txt"_s << 7 << 8 << u"124356"_s
                                                << u"234651"_s << u"00000K"_s << u"236"_s << u"1"_s;
    QTest::newRow("L0 and S1") << u"k200815.txt"_s << 7 << 4 << u"531264"_s << u"134562"_s
                               << u"000S0L"_s << u"641"_s << u"2"_s;
    QTest::newRow("void race, five F and 00") << u"k200814.txt"_s << 3 << 3 << u"123456"_s
                                              << u"123456"_s << u"FFFFF0"_s << u"___"_s << u"0"_s;
    QTest::newRow("tie for third") << u"k200814.txt"_s << 17 << 6 << u"253461"_s << u"142356"_s
                                   << u"000000"_s << u"452"_s << u"3"_s;
    QTest::newRow("K0 in race 12") << u"k200105.txt"_s << 13 << 12 << u"135426"_s << u"123564"_s
                                   << u"00000K"_s << u"136"_s << u"1"_s;
}

void TestRaceParser::parsesRealRaces()
{
    QFETCH(QString, file);
    QFETCH(int, venue);
    QFETCH(int, race);
    QFETCH(QString, rowCourses);
    QFETCH(QString, boats);
    QFETCH(QString, marks);
    QFETCH(QString, top);
    QFETCH(QString, technique);

    RaceState state = realRace(file, venue, race);
    QVERIFY(parseRaceBlock(state));
    QCOMPARE(byCourse(state.rowCourses), rowCourses);
    QCOMPARE(byCourse(state.boatNumbers), boats);
    QCOMPARE(byCourse(state.placingCodes), marks);
    QString topBoats;
    for (size_t k = 1; k <= 3; ++k)
        topBoats += state.topBoats[k].isEmpty() ? QStringLiteral("_") : state.topBoats[k];
    QCOMPARE(topBoats, top);
    QCOMPARE(state.techniqueCode, technique);
}

void TestRaceParser::acceptsEveryRealRace_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("races"); // race blocks the day holds

    QTest::newRow("k200105") << u"k200105.txt"_s << 240;
    QTest::newRow("k200814") << u"k200814.txt"_s << 180;
    QTest::newRow("k200815") << u"k200815.txt"_s << 204;
    QTest::newRow("k200907") << u"k200907.txt"_s << 36;
    QTest::newRow("k201230") << u"k201230.txt"_s << 160;
}

void TestRaceParser::acceptsEveryRealRace()
{
    QFETCH(QString, file);
    QFETCH(int, races);

    // Every row the organiser wrote must pass the well-formedness check.
    const LineStore store = realDay(file);
    int parsed = 0;
    for (int venue = 1; venue <= 24; ++venue) {
        for (int race = 1; race <= 12; ++race) {
            RaceState state;
            if (!findAndCopyRace(store, tables(), venue, race, 1, state).ok())
                continue;
            QVERIFY2(parseRaceBlock(state), qPrintable(u"venue %1 race %2"_s.arg(venue).arg(race)));
            ++parsed;
        }
    }
    QCOMPARE(parsed, races);
}

void TestRaceParser::fixesUpCourses_data()
{
    QTest::addColumn<QString>("courses"); // course character of rows 1..6
    QTest::addColumn<QString>("fixed");

    QTest::newRow("nothing to fix") << u"632145"_s << u"632145"_s;
    QTest::newRow("a blank in row 6 takes 6") << u"12345 "_s << u"123456"_s;
    QTest::newRow("a blank in row 1 takes 6") << u" 12345"_s << u"612345"_s;
    QTest::newRow("0 and blank in rows 5, 6 take 5, 6") << u"1234 0"_s << u"123456"_s;
    QTest::newRow("taken even when already held") << u"5612 0"_s << u"561256"_s;
    QTest::newRow("all six without course") << u"0 0 0 "_s << u"123456"_s;
}

void TestRaceParser::fixesUpCourses()
{
    QFETCH(QString, courses);
    QFETCH(QString, fixed);

    QStringList rows;
    for (int i = 0; i < 6; ++i)
        rows << placingRow(
            QStringLiteral("0%1").arg(i + 1), QString::number(i + 1), courses.mid(i, 1));
    RaceState state;
    putBlock(state, rows);
    QVERIFY(parseRaceBlock(state));
    QString got;
    for (size_t row = 1; row <= 6; ++row)
        got += state.rowCourses[row];
    QCOMPARE(got, fixed);
}

void TestRaceParser::laterRowWinsASharedCourse()
{
    // Rows 5 and 6 have no course; they take 5 and 6 although rows 1 and 2 hold them.
    QStringList rows { placingRow(u"01"_s, u"1"_s, u"5"_s), placingRow(u"02"_s, u"2"_s, u"6"_s),
        placingRow(u"03"_s, u"3"_s, u"1"_s), placingRow(u"04"_s, u"4"_s, u"2"_s),
        placingRow(u"K0"_s, u"5"_s, u" "_s, u"K .  "_s),
        placingRow(u"K1"_s, u"6"_s, u"0"_s, u"K .  "_s) };
    RaceState state;
    putBlock(state, rows);
    QVERIFY(parseRaceBlock(state));
    QCOMPARE(byCourse(state.boatNumbers), u"34__56"_s);
    QCOMPARE(byCourse(state.placingCodes), u"00__KK"_s);
    // Row 1's boat 1 sits on course 5, which row 5 overwrote: boat 5 with its K.
    QCOMPARE(state.topBoats[1], QString());
    QCOMPARE(state.topBoats[2], QString());
    QCOMPARE(state.topBoats[3], u"3"_s);
}

void TestRaceParser::findsTechnique_data()
{
    QTest::addColumn<QList<int>>("lineNumbers");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("code");

    const QString blanks9 = QString(9, u' ');
    QTest::newRow("none: void race") << QList<int> {} << QStringList {} << u"0"_s;
    QTest::newRow("逃げ") << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ 逃げ　　　"_s } << u"1"_s;
    QTest::newRow("差し") << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ 差し　　　"_s } << u"2"_s;
    QTest::newRow("まくり") << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ まくり　　"_s } << u"3"_s;
    QTest::newRow("恵まれ") << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ 恵まれ　　"_s } << u"4"_s;
    QTest::newRow("抜き") << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ 抜き　　　"_s } << u"5"_s;
    QTest::newRow("まくり差し is not まくり nor 差し")
        << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ まくり差し"_s } << u"6"_s;
    QTest::newRow("つけまい") << QList<int> { 2 } << QStringList { u"ﾚｰｽﾀｲﾑ つけまい　"_s }
                              << u"7"_s;
    QTest::newRow("不成立 is no technique")
        << QList<int> { 11 } << QStringList { u"  レース不成立"_s } << u"0"_s;
    QTest::newRow("earlier line wins over smaller position")
        << QList<int> { 1, 2 } << QStringList { QString(29, u' ') + u"逃げ", blanks9 + u"差し" }
        << u"1"_s;
    QTest::newRow("smaller position wins within a line")
        << QList<int> { 2 } << QStringList { u"    差し          逃げ"_s } << u"2"_s;
    QTest::newRow("position before search order")
        << QList<int> { 2 } << QStringList { u"つけまい まくり差し"_s } << u"7"_s;
    QTest::newRow("the terminator line is searched")
        << QList<int> { 12 } << QStringList { u"   2R  抜き"_s } << u"5"_s;
    QTest::newRow("line 30 is searched")
        << QList<int> { 30 } << QStringList { u"恵まれ"_s } << u"4"_s;
    QTest::newRow("a name starting at 200 counts")
        << QList<int> { 2 } << QStringList { QString(199, u' ') + u"逃げ" } << u"1"_s;
    QTest::newRow("a name starting at 201 does not")
        << QList<int> { 2 } << QStringList { QString(200, u' ') + u"逃げ" } << u"0"_s;
    QTest::newRow("full width only: half-width kana differ")
        << QList<int> { 2 } << QStringList { u"ﾆｹﾞ ﾏｸﾘ"_s } << u"0"_s;
}

void TestRaceParser::findsTechnique()
{
    QFETCH(QList<int>, lineNumbers);
    QFETCH(QStringList, texts);
    QFETCH(QString, code);

    RaceState state;
    putBlock(state, plainRows());
    for (qsizetype i = 0; i < lineNumbers.size(); ++i)
        state.raceLines[static_cast<size_t>(lineNumbers.at(i))] = texts.at(i);
    QVERIFY(parseRaceBlock(state));
    QCOMPARE(state.techniqueCode, code);
}

void TestRaceParser::topBoatsSkipAccidents_data()
{
    QTest::addColumn<QStringList>("marks"); // of rows 1..6, boat b on course b in row b
    QTest::addColumn<QStringList>("top");

    QTest::newRow("all finished") << QStringList { u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s,
        u"06"_s } << QStringList { u"1"_s, u"2"_s, u"3"_s };
    QTest::newRow("F in row 2") << QStringList { u"01"_s, u"F "_s, u"02"_s, u"03"_s, u"04"_s,
        u"05"_s } << QStringList { u"1"_s, QString(), u"3"_s };
    QTest::newRow("S, L and K") << QStringList { u"S0"_s, u"L1"_s, u"K0"_s, u"01"_s, u"02"_s,
        u"03"_s } << QStringList { QString(), QString(), QString() };
    QTest::newRow("void race marks") << QStringList { u"F "_s, u"F "_s, u"00"_s, u"00"_s, u"00"_s,
        u"00"_s } << QStringList { QString(), QString(), u"3"_s };
}

void TestRaceParser::topBoatsSkipAccidents()
{
    QFETCH(QStringList, marks);
    QFETCH(QStringList, top);

    QStringList rows;
    for (int b = 1; b <= 6; ++b)
        rows << placingRow(marks.at(b - 1), QString::number(b), QString::number(b));
    RaceState state;
    putBlock(state, rows);
    QVERIFY(parseRaceBlock(state));
    QCOMPARE((QStringList { state.topBoats[1], state.topBoats[2], state.topBoats[3] }), top);
}

void TestRaceParser::judgesRows_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("wellFormed");

    QTest::newRow("finisher") << placingRow(u"01"_s, u"1"_s, u"1"_s) << true;
    QTest::newRow("course 0") << placingRow(u"01"_s, u"1"_s, u"0"_s) << true;
    QTest::newRow("course blank") << placingRow(u"K0"_s, u"1"_s, u" "_s, u"K .  "_s) << true;
    QTest::newRow("registration number at 3") << u"  4101 x 6.80   1    0.27     1.52.0"_s << true;
    QTest::newRow("empty line") << QString() << false;
    QTest::newRow("payout line without dots") << u"        単勝     6          160  "_s << false;
    QTest::newRow("two dots") << u"  01  1 4101 x 6 80   1    0.27     1.52"_s << false;
    QTest::newRow("third dot from the right at 6") << u"  5 1.2.3.4 4101"_s << false;
    QTest::newRow("course 7") << placingRow(u"01"_s, u"1"_s, u"7"_s) << false;
    QTest::newRow("course full-width 1") << placingRow(u"01"_s, u"1"_s, u"１"_s) << false;
    QTest::newRow("registration number at 1") << u"4101 x 6.80   1    0.27     1.52.0"_s << false;
    QTest::newRow("registration number at 2") << u" 4101 x 6.80   1    0.27     1.52.0"_s << false;
    QTest::newRow("fourth dot from the right at 2")
        << u"6.    1    0.27     1.52.0  4101"_s << false;
    QTest::newRow("dots past position 200 are not seen")
        << QString(150, u' ') + placingRow(u"01"_s, u"1"_s, u"1"_s) << false;
}

void TestRaceParser::judgesRows()
{
    QFETCH(QString, row);
    QFETCH(bool, wellFormed);
    QCOMPARE(isWellFormedRow(row), wellFormed);
}

void TestRaceParser::refusesBlockWithMalformedRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");

    QTest::newRow("only five rows") << 6 << QString();
    QTest::newRow("payout line as row 1") << 1 << u"        単勝     6          160  "_s;
    QTest::newRow("course 9 in row 4") << 4 << placingRow(u"04"_s, u"4"_s, u"9"_s);
}

void TestRaceParser::refusesBlockWithMalformedRow()
{
    QFETCH(int, row);
    QFETCH(QString, text);

    RaceState state;
    putBlock(state, plainRows());
    state.raceLines[static_cast<size_t>(row + 3)] = text;
    QVERIFY(!parseRaceBlock(state));
}

QTEST_GUILESS_MAIN(TestRaceParser)
#include "tst_raceparser.moc"
