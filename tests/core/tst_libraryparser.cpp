// The library's reading of a day: race-label fields, the technique, payout lines and
// whole blocks, on real lines and on hand-made ones for the cases real days rarely hold.

#include "library/daydate.h"
#include "library/dayparser.h"
#include "library/storedpayouts.h"

#include <QFile>
#include <QTest>

using namespace rusena::library;
using namespace Qt::StringLiterals;

namespace {

QString testData(const char *name)
{
    return QStringLiteral(RUSENA_TEST_DATA "/") + QString::fromLatin1(name);
}

// Payout rows as "bet|combination|yen|popularity|note", easy to read in a failure.
QStringList payoutTexts(const QList<Payout> &payouts)
{
    QStringList out;
    const auto number = [](std::optional<qint64> n) { return n ? QString::number(*n) : QString(); };
    for (const Payout &p : payouts)
        out.append(QStringList { p.bet.toString(), p.combination.toString(), number(p.yen),
            number(p.popularity), p.note.toString() }
                       .join(u'|'));
    return out;
}

// A section of one venue around `body`, as the organiser lays it out.
QString section(const QString &code, const QStringList &body)
{
    QStringList lines { code + u"KBGN"_s, u"唐　津［成績］      8/15"_s, QString(), u"＊＊＊"_s,
        QString(), u"          お盆特選"_s, QString(),
        u"   第 5日          2020/ 8/15                             ボートレース"_s, QString(),
        u"   [払戻金]       ３連単"_s,
        u"           1R  1-3-4    1090    1-3-4     670    1-3     340"_s };
    lines += body;
    lines.append(code + u"KEND"_s);
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

const QString Label
    = u"   1R       一　　般　　                 H1800m  晴　  風  南　　 4m  波　  4cm"_s;
const QString Titles
    = u"  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ 逃げ　　　"_s;
const QString Dashes = QString(79, u'-');

QStringList sixRows()
{
    QStringList rows;
    for (int boat = 1; boat <= 6; ++boat)
        rows.append(
            u"  0%1  %1 410%1 三井所　　尊　春 11   81  6.73   %1    0.27     1.52.0"_s.arg(boat));
    return rows;
}

} // namespace

class TestLibraryParser final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void label_data();
    void label();
    void technique_data();
    void technique();
    void payoutLines_data();
    void payoutLines();
    void blocks_data();
    void blocks();
    void realDays_data();
    void realDays();
    void fileNameDate_data();
    void fileNameDate();
};

void TestLibraryParser::label_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>(
        "fields"); // heading, fixed, distance, weather, direction, wind, wave

    QTest::newRow("real, general race")
        << Label
        << QStringList { u"一　　般"_s, u"0"_s, u"1800"_s, u"晴"_s, u"南"_s, u"4"_s, u"4"_s };
    QTest::newRow("fixed entry after the heading")
        << u"   5R       予　選　　　  進入固定       H1800m  晴　  風  南　　 1m  波　  1cm"_s
        << QStringList { u"予　選"_s, u"1"_s, u"1800"_s, u"晴"_s, u"南"_s, u"1"_s, u"1"_s };
    QTest::newRow("name holding the word, and the flag")
        << u"   5R       進入固定戦隊  進入固定       H1800m  晴　  風  北西　 4m  波　  4cm"_s
        << QStringList { u"進入固定戦隊"_s, u"1"_s, u"1800"_s, u"晴"_s, u"北西"_s, u"4"_s, u"4"_s };
    QTest::newRow("name holding the word is no flag")
        << u"   5R       進入固定戦隊                 H1800m  晴　  風  北西　 4m  波　  4cm"_s
        << QStringList { u"進入固定戦隊"_s, u"0"_s, u"1800"_s, u"晴"_s, u"北西"_s, u"4"_s, u"4"_s };
    QTest::newRow("flag after a full-width blank")
        << u"   5R       一般　進入固定               H1800m  晴　  風  北西　 4m  波　  4cm"_s
        << QStringList { u"一般"_s, u"1"_s, u"1800"_s, u"晴"_s, u"北西"_s, u"4"_s, u"4"_s };
    QTest::newRow("flag alone")
        << u"  12R       進入固定                     H1200m  雨    風  北　　 2m  波　  2cm"_s
        << QStringList { QString(), u"1"_s, u"1200"_s, u"雨"_s, u"北"_s, u"2"_s, u"2"_s };
    QTest::newRow("two-digit wind with no half-width blank")
        << u"   3R       予　　選　　                 H1800m  曇り  風  南東　10m  波　 10cm"_s
        << QStringList { u"予　　選"_s, u"0"_s, u"1800"_s, u"曇り"_s, u"南東"_s, u"10"_s, u"10"_s };
    QTest::newRow("no wind")
        << u"   4R       一　般　　　                 H1800m  晴　  風  無風　 0m  波　  1cm"_s
        << QStringList { u"一　般"_s, u"0"_s, u"1800"_s, u"晴"_s, u"無風"_s, u"0"_s, u"1"_s };
    QTest::newRow("heading with brackets")
        << u"  10R       一般（Ｂ組）                 H1800m  晴　  風  東　　 1m  波　  1cm"_s
        << QStringList { u"一般（Ｂ組）"_s, u"0"_s, u"1800"_s, u"晴"_s, u"東"_s, u"1"_s, u"1"_s };
    QTest::newRow("conditions missing")
        << u"   1R       一般                         H1800m"_s
        << QStringList { u"一般"_s, u"0"_s, u"1800"_s, QString(), QString(), QString(), QString() };
}

void TestLibraryParser::label()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    const RaceLabel l = readRaceLabel(line);
    const QStringList got { l.heading.toString(), l.fixedEntry ? u"1"_s : u"0"_s,
        l.distance.toString(), l.weather.toString(), l.windDirection.toString(),
        l.windSpeed.toString(), l.wave.toString() };
    QCOMPARE(got, fields);
}

void TestLibraryParser::technique_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("technique");
    QTest::newRow("逃げ") << Titles << u"逃げ"_s;
    QTest::newRow("まくり差し, the full width")
        << u"  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ まくり差し"_s
        << u"まくり差し"_s;
    QTest::newRow("none written")
        << u"  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ 　　　　　"_s
        << QString();
    QTest::newRow("no race-time title") << u"  着 艇 登番"_s << QString();
}

void TestLibraryParser::technique()
{
    QFETCH(QString, line);
    QFETCH(QString, technique);
    QCOMPARE(techniqueOf(line).toString(), technique);
}

void TestLibraryParser::payoutLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("単勝") << QStringList { u"        単勝     1          150  "_s }
                          << QStringList { u"単勝|1|150||"_s };
    QTest::newRow("複勝 with two boats")
        << QStringList { u"        複勝     1          100  3          190  "_s }
        << QStringList { u"複勝|1|100||"_s, u"複勝|3|190||"_s };
    QTest::newRow("複勝 with three boats")
        << QStringList { u"        複勝     1          100  3          190  5          220"_s }
        << QStringList { u"複勝|1|100||"_s, u"複勝|3|190||"_s, u"複勝|5|220||"_s };
    QTest::newRow("popularity") << QStringList { u"        ３連単   1-3-4     1090  人気     6 "_s }
                                << QStringList { u"３連単|1-3-4|1090|6|"_s };
    QTest::newRow("continuation lines take the bet above")
        << QStringList { u"        拡連複   1-3        140  人気     1 "_s,
               u"                 1-4        210  人気     3 "_s,
               u"                 3-4        490  人気     8 "_s }
        << QStringList { u"拡連複|1-3|140|1|"_s, u"拡連複|1-4|210|3|"_s, u"拡連複|3-4|490|8|"_s };
    QTest::newRow("special payout") << QStringList { u"        ３連単   特払い            70"_s }
                                    << QStringList { u"３連単||70||特払い"_s };
    QTest::newRow("no payout") << QStringList { u"        複勝     不成立"_s }
                               << QStringList { u"複勝||||不成立"_s };
    QTest::newRow("continuation with no bet above")
        << QStringList { u"                 1-4        210  人気     3 "_s } << QStringList {};
    QTest::newRow("no payout line at all") << QStringList { u"  レース不成立"_s } << QStringList {};
    QTest::newRow("amount out of range")
        << QStringList { u"        単勝     1   99999999999999999999"_s }
        << QStringList { u"単勝|1|||"_s, u"malformed"_s };
    QTest::newRow("special payout out of range")
        << QStringList { u"        ３連単   特払い   99999999999 99999999999"_s }
        << QStringList { u"３連単||||特払い"_s, u"malformed"_s };
}

void TestLibraryParser::payoutLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, rows);
    QStringView bet;
    QList<Payout> payouts;
    bool malformed = false;
    for (const QString &line : lines)
        malformed = readPayoutLine(line, bet, payouts) == PayoutLine::Malformed || malformed;
    QCOMPARE(
        payoutTexts(payouts) + (malformed ? QStringList { u"malformed"_s } : QStringList {}), rows);
    // The index keeps them as one text, which reads back as they were.
    const QString stored = storedPayouts(payouts);
    QCOMPARE(payoutTexts(readStoredPayouts(stored)), payoutTexts(payouts));
}

void TestLibraryParser::blocks_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QList<int>>(
        "counts"); // sections, races, entries of the first, payouts of the first, void

    const QStringList payouts { u"        単勝     1          150  "_s, QString(),
        u"        拡連複   1-3        140  人気     1 "_s, QString(),
        u"                 1-4        210  人気     3 "_s };
    QTest::newRow("blank lines between payout lines") << section(u"23"_s,
        QStringList { Label, Titles, Dashes } + sixRows() + QStringList { QString() } + payouts)
                                                      << QList<int> { 1, 1, 6, 3, 0 };
    QTest::newRow("void race keeps its rows, has no payouts") << section(u"23"_s,
        QStringList { Label, Titles, Dashes } + sixRows() + QStringList { u"  レース不成立"_s }
            + payouts) << QList<int> { 1, 1, 6, 0, 1 };
    QTest::newRow("rows end at the first line that is no row") << section(u"23"_s,
        QStringList { Label, Titles, Dashes } + sixRows().mid(0, 3) + QStringList { u"  garbage"_s }
            + sixRows().mid(3)) << QList<int> { 1, 1, 3, 0, 0 };
    QTest::newRow("section without race blocks")
        << section(u"23"_s, {}) << QList<int> { 1, 0, 0, 0, 0 };
    QTest::newRow("venue code outside 1..24 is no section") << section(u"25"_s,
        QStringList { Label, Titles, Dashes } + sixRows()) << QList<int> { 0, 0, 0, 0, 0 };
    QTest::newRow("no section at all")
        << (QStringList { Label, Titles, Dashes } + sixRows()).join(u"\r\n"_s)
        << QList<int> { 0, 0, 0, 0, 0 };
}

void TestLibraryParser::blocks()
{
    QFETCH(QString, day);
    QFETCH(QList<int>, counts);
    const ParsedDay parsed = parseDay(day);
    const ParsedRace first = parsed.races.value(0);
    const QList<int> got { int(parsed.sections.size()), int(parsed.races.size()),
        int(first.entries.size()), int(first.payouts.size()), first.isVoid ? 1 : 0 };
    QCOMPARE(got, counts);
    if (!parsed.sections.isEmpty()) {
        QCOMPARE(parsed.sections[0].title.toString(), u"お盆特選"_s);
        QCOMPARE(parsed.firstSectionDate(), QDate(2020, 8, 15));
    }
}

void TestLibraryParser::realDays_data()
{
    // Counted independently with grep on the decoded files.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<int>>("counts"); // sections, races, placing rows, void races
    QTest::newRow("k200105") << testData("k200105.txt") << QList<int> { 20, 240, 1440, 0 };
    QTest::newRow("k200814, one void race")
        << testData("k200814.txt") << QList<int> { 16, 180, 1080, 1 };
    QTest::newRow("k200907, sections without races")
        << testData("k200907.txt") << QList<int> { 12, 36, 216, 0 };
}

void TestLibraryParser::realDays()
{
    QFETCH(QString, file);
    QFETCH(QList<int>, counts);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const ParsedDay day = parseDayBytes(f.readAll());
    int rows = 0, voids = 0;
    for (const ParsedRace &race : day.races) {
        rows += int(race.entries.size());
        voids += race.isVoid ? 1 : 0;
        QVERIFY(race.race >= 1 && race.race <= 12);
        QVERIFY(!race.label.distance.isEmpty());
        // Every race that came off pays 単勝 first.
        if (!race.isVoid)
            QCOMPARE(race.payouts.value(0).bet, u"単勝"_s);
    }
    QCOMPARE((QList<int> { int(day.sections.size()), int(day.races.size()), rows, voids }), counts);
}

void TestLibraryParser::fileNameDate_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("date");
    QTest::newRow("organiser's name") << u"K200815.TXT"_s << QDate(2020, 8, 15);
    QTest::newRow("lower case") << u"k200105.txt"_s << QDate(2020, 1, 5);
    QTest::newRow("more digits") << u"K2008150.TXT"_s << QDate();
    QTest::newRow("four-digit year") << u"K19200105.TXT"_s << QDate(1920, 1, 5);
    QTest::newRow("nine digits") << u"K192001050.TXT"_s << QDate();
    QTest::newRow("no such day") << u"K201332.TXT"_s << QDate();
    QTest::newRow("no date") << u"racek.dat"_s << QDate();
    QTest::newRow("short") << u"K2008"_s << QDate();
}

void TestLibraryParser::fileNameDate()
{
    QFETCH(QString, name);
    QFETCH(QDate, date);
    QCOMPARE(dateOfFileName(name), date);
}

QTEST_GUILESS_MAIN(TestLibraryParser)
#include "tst_libraryparser.moc"
