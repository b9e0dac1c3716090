// Showing a parsed race in the result panel: the start-timing chart, the accident notes,
// the placing boxes with their colours and separators, and what the panel keeps from
// the race before.

#include "favourites/settings.h"
#include "race/panelfill.h"
#include "race/raceparser.h"
#include "race/screenmodel.h"

#include "racefixtures.h"

using namespace rusena;
using namespace racefixtures;
using namespace Qt::StringLiterals;

class TestPanelFill final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chartLeft_data();
    void chartLeft();
    void slitTime_data();
    void slitTime();
    void placesMarkers_data();
    void placesMarkers();
    void fillsHeaderAndCourseRows();
    void listsAccidentsInRowOrder();
    void placingBoxes_data();
    void placingBoxes();
    void boxColours_data();
    void boxColours();
    void markerNotNamedKeepsItsPlace();
    void textColourIsNeverReset();
    void resetsPanel();
};

namespace {

// The six rows: boat b from course b finishing in boat order, unless told otherwise.
struct RowPlan {
    QString mark = QStringLiteral("01");
    QString start = QStringLiteral(" 0.12");
};

RaceState parsedRace(const QList<RowPlan> &plans, const QString &techniqueLine = u"逃げ"_s)
{
    QStringList rows;
    for (int b = 1; b <= 6; ++b) {
        const RowPlan plan = b <= plans.size() ? plans.at(b - 1) : RowPlan {};
        rows << placingRow(plan.mark, QString::number(b), QString::number(b), plan.start);
    }
    RaceState state;
    putBlock(state, rows);
    state.raceLines[2] = techniqueLine;
    if (!parseRaceBlock(state))
        qFatal("made-up race did not parse");
    return state;
}

// A parsed race whose top boats and technique code are then set as given.
RaceState withPlacings(const QString &technique, const QStringList &top)
{
    RaceState state = parsedRace({});
    state.techniqueCode = technique;
    for (size_t k = 1; k <= 3; ++k)
        state.topBoats[k] = top.value(static_cast<qsizetype>(k - 1));
    return state;
}

void fill(RaceState &state, ScreenModel &screen)
{
    fillResultPanel(state, tables(), {}, {}, screen);
}

} // namespace

void TestPanelFill::chartLeft_data()
{
    QTest::addColumn<int>("slit");
    QTest::addColumn<int>("left");

    QTest::newRow("0.00") << 0 << 5120;
    QTest::newRow("0.17") << 17 << 4780;
    QTest::newRow("0.99") << 99 << 3140;
    QTest::newRow("a second or more") << 100 << 3120;
    QTest::newRow("late") << 105 << 3040;
    QTest::newRow("no start: hidden") << 110 << -1;
    QTest::newRow("F 0.01") << -1 << 5140;
    QTest::newRow("F 0.18") << -18 << 5480;
    QTest::newRow("F 0.19 stops at 5460") << -19 << 5460;
    QTest::newRow("F 0.99 stops at 5460") << -99 << 5460;
}

void TestPanelFill::chartLeft()
{
    QFETCH(int, slit);
    QFETCH(int, left);
    QCOMPARE(rusena::chartLeft(slit), left);
}

void TestPanelFill::slitTime_data()
{
    QTest::addColumn<QString>("timing");
    QTest::addColumn<int>("slit");

    QTest::newRow("0.27") << u" 0.27"_s << 27;
    QTest::newRow("0.03") << u" 0.03"_s << 3;
    QTest::newRow("flying start keeps its hundredths") << u"F0.04"_s << 4;
    QTest::newRow("a second or more") << u" 1.02"_s << 100;
    QTest::newRow("late start L") << u"L .  "_s << 0;
    QTest::newRow("no start K") << u"K .  "_s << 0;
    QTest::newRow("letter as second character") << u" x.12"_s << 0;
    QTest::newRow("blank hundredth ignored") << u" 0. 5"_s << 5;
    QTest::newRow("trailing blank ignored") << u" 0.5 "_s << 5;
    QTest::newRow("hundredths not digits") << u" 0.x5"_s << 0;
    QTest::newRow("full-width digits are not digits") << u" 0.１２"_s << 0;
    QTest::newRow("cut short") << u" 0"_s << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestPanelFill::slitTime()
{
    QFETCH(QString, timing);
    QFETCH(int, slit);
    QCOMPARE(rusena::slitTime(timing), slit);
}

void TestPanelFill::placesMarkers_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("left");

    QTest::newRow("finisher 0.12") << u"01"_s << u" 0.12"_s << true << 4880;
    QTest::newRow("F 0.18") << u"F "_s << u"F0.18"_s << true << 5480;
    QTest::newRow("F 0.19") << u"F "_s << u"F0.19"_s << true << 5460;
    QTest::newRow("L whatever its timing") << u"L1"_s << u" 0.05"_s << true << 3040;
    QTest::newRow("K hidden") << u"K0"_s << u"K .  "_s << false << 0;
    QTest::newRow("S is drawn like a finisher") << u"S1"_s << u" 0.24"_s << true << 4640;
}

void TestPanelFill::placesMarkers()
{
    QFETCH(QString, mark);
    QFETCH(QString, start);
    QFETCH(bool, visible);
    QFETCH(int, left);

    // The row in question is boat 4 from course 4.
    QList<RowPlan> plans(6);
    plans[3] = { mark, start };
    RaceState state = parsedRace(plans);
    ScreenModel screen;
    screen.wak[4].visible = true; // shown by the race before
    fill(state, screen);

    QCOMPARE(screen.wak[4].visible, visible);
    if (visible) {
        QCOMPARE(screen.wak[4].left, left);
        QCOMPARE(screen.wak[4].top, 1940);
    } else {
        QCOMPARE(screen.wak[4].left, restingMarker(4).left); // hidden where it was
    }
    for (int b : { 1, 2, 3, 5, 6 }) {
        QCOMPARE(screen.wak[static_cast<size_t>(b)].top, 980 + 240 * b);
        QCOMPARE(screen.wak[static_cast<size_t>(b)].left, 4880);
    }
}

void TestPanelFill::fillsHeaderAndCourseRows()
{
    RaceState state = parsedRace({});
    state.meetingDate = u"2020年 8月15日"_s;
    state.meetingDayNumber = u" 5"_s;
    state.meetingTitle = u"お盆特選"_s;
    state.raceHeading = u"   1R       一　般"_s;
    state.exhibitionTimes[3] = u" 6.77"_s;
    ScreenModel screen;
    fill(state, screen);

    QCOMPARE(screen.tit[0], u"2020年 8月15日"_s);
    QCOMPARE(screen.tit[1], u"第 5日"_s);
    QCOMPARE(screen.tit[2], u"  お盆特選"_s);
    QCOMPARE(screen.tit[3], u"   1R       一　般"_s);
    QCOMPARE(screen.dds[2], u"  長　溝　　一　生"_s);
    QCOMPARE(screen.dds[8], u" 6.77"_s);
    QCOMPARE(screen.dds[14], u" 0.12"_s);
    QCOMPARE(screen.dds[20], u" 1.51.8"_s);
    QCOMPARE(screen.dds[25], u"逃げ"_s);
}

void TestPanelFill::listsAccidentsInRowOrder()
{
    // Row order, not course order: boat 6 (S, course 5) comes fourth, boat 5 (K, no
    // course of its own, so 6) fifth, boat 2 (F, course 2) last.
    QStringList rows { placingRow(u"01"_s, u"1"_s, u"1"_s), placingRow(u"02"_s, u"3"_s, u"3"_s),
        placingRow(u"03"_s, u"4"_s, u"4"_s), placingRow(u"S0"_s, u"6"_s, u"5"_s),
        placingRow(u"K1"_s, u"5"_s, u" "_s, u"K .  "_s),
        placingRow(u"F "_s, u"2"_s, u"2"_s, u"F0.01"_s) };
    RaceState state;
    putBlock(state, rows);
    QVERIFY(parseRaceBlock(state));
    ScreenModel screen;
    fill(state, screen);
    QCOMPARE(state.accidentText, u"6.S5.K2.F"_s);
    QCOMPARE(screen.dds[24], u"6.S5.K2.F"_s);
}

void TestPanelFill::placingBoxes_data()
{
    QTest::addColumn<QString>("technique");
    QTest::addColumn<QStringList>("top");
    QTest::addColumn<QStringList>("boxes"); // captions of tyaku(1..3)
    QTest::addColumn<QStringList>("separators"); // captions of tyakub(1..2)

    const QString e;
    QTest::newRow("three placed") << u"1"_s << QStringList { u"1"_s, u"2"_s, u"3"_s }
                                  << QStringList { u"１"_s, u"２"_s, u"３"_s }
                                  << QStringList { u"-"_s, u"-"_s };
    QTest::newRow("only two placed")
        << u"2"_s << QStringList { u"4"_s, u"5"_s, e } << QStringList { u"４"_s, u"５"_s, e }
        << QStringList { u"-"_s, e };
    QTest::newRow("second missing, third known")
        << u"3"_s << QStringList { u"6"_s, e, u"1"_s } << QStringList { u"６"_s, e, e }
        << QStringList { e, e };
    QTest::newRow("void race") << u"0"_s << QStringList { u"1"_s, u"2"_s, u"3"_s }
                               << QStringList { e, e, e } << QStringList { e, e };
    QTest::newRow("technique but no winner")
        << u"1"_s << QStringList { e, e, e } << QStringList { e, e, e } << QStringList { e, e };
    QTest::newRow("boat 7 leaves its box neutral")
        << u"1"_s << QStringList { u"7"_s, u"2"_s, u"3"_s } << QStringList { e, u"２"_s, u"３"_s }
        << QStringList { u"-"_s, u"-"_s };
}

void TestPanelFill::placingBoxes()
{
    QFETCH(QString, technique);
    QFETCH(QStringList, top);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, separators);

    RaceState state = withPlacings(technique, top);
    ScreenModel screen;
    // The race before showed 5-6-5 with both separators.
    for (size_t k = 1; k <= 3; ++k)
        screen.tyaku[k] = { u"５"_s, colours::Black, colours::Yellow, true };
    screen.tyakub[1].caption = screen.tyakub[2].caption = u"-"_s;
    fill(state, screen);

    QCOMPARE(
        (QStringList { screen.tyaku[1].caption, screen.tyaku[2].caption, screen.tyaku[3].caption }),
        boxes);
    QCOMPARE((QStringList { screen.tyakub[1].caption, screen.tyakub[2].caption }), separators);
    for (size_t k = 1; k <= 3; ++k) {
        if (screen.tyaku[k].caption.isEmpty())
            QCOMPARE(screen.tyaku[k].bg, colours::NeutralGrey);
    }
}

void TestPanelFill::boxColours_data()
{
    QTest::addColumn<QString>("boat");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<Rgb>("fg");
    QTest::addColumn<Rgb>("bg");

    QTest::newRow("1 white") << u"1"_s << u"１"_s << colours::Black << colours::White;
    QTest::newRow("2 black") << u"2"_s << u"２"_s << colours::White << colours::Black;
    QTest::newRow("3 red") << u"3"_s << u"３"_s << colours::Black << colours::Red;
    QTest::newRow("4 blue") << u"4"_s << u"４"_s << colours::White << colours::Blue;
    QTest::newRow("5 yellow") << u"5"_s << u"５"_s << colours::Black << colours::Yellow;
    QTest::newRow("6 green") << u"6"_s << u"６"_s << colours::Black << colours::Green;
}

void TestPanelFill::boxColours()
{
    QFETCH(QString, boat);
    QFETCH(QString, caption);
    QFETCH(Rgb, fg);
    QFETCH(Rgb, bg);

    RaceState state = withPlacings(u"1"_s, { boat });
    ScreenModel screen;
    fill(state, screen);
    QCOMPARE(screen.tyaku[1].caption, caption);
    QCOMPARE(screen.tyaku[1].fg, fg);
    QCOMPARE(screen.tyaku[1].bg, bg);
    QVERIFY(screen.tyaku[1].fgSet);
}

void TestPanelFill::markerNotNamedKeepsItsPlace()
{
    ScreenModel screen;
    RaceState first = parsedRace({});
    fill(first, screen); // boat 2 shown on course 2

    // Rows 1 and 2 both started from course 1: no course names boat 2 any more, and
    // course 2 has no boat, so its marker stays untouched.
    QStringList rows = plainRows();
    rows[0] = placingRow(u"01"_s, u"1"_s, u"1"_s, u" 0.05"_s);
    rows[1] = placingRow(u"02"_s, u"1"_s, u"1"_s, u" 0.30"_s);
    RaceState second;
    putBlock(second, rows);
    second.raceLines[2] = u"差し"_s;
    QVERIFY(parseRaceBlock(second));
    QCOMPARE(second.boatNumbers[2], QString());
    fill(second, screen);

    QCOMPARE(screen.wak[2].left, 4880); // the first race's place
    QCOMPARE(screen.wak[2].top, 1460);
    QVERIFY(screen.wak[2].visible);
    QCOMPARE(screen.wak[1].left, 4520); // the later row's timing, 0.30
    QCOMPARE(screen.wak[1].top, 1220);
}

void TestPanelFill::textColourIsNeverReset()
{
    ScreenModel screen;
    RaceState placed = withPlacings(u"1"_s, { u"2"_s, u"4"_s, u"1"_s });
    fill(placed, screen);
    QCOMPARE(screen.tyaku[1].fg, colours::White);

    RaceState voided = withPlacings(u"0"_s, {});
    fill(voided, screen);
    QCOMPARE(screen.tyaku[1].caption, QString());
    QCOMPARE(screen.tyaku[1].bg, colours::NeutralGrey);
    QCOMPARE(screen.tyaku[1].fg, colours::White);
    QVERIFY(screen.tyaku[1].fgSet);
    QCOMPARE(screen.dds[25], u"不成立"_s);

    resetResultPanel(screen);
    QCOMPARE(screen.tyaku[2].fg, colours::White);
}

void TestPanelFill::resetsPanel()
{
    ScreenModel screen;
    RaceState state = withPlacings(u"1"_s, { u"1"_s, u"2"_s, u"3"_s });
    fill(state, screen);
    screen.txb = u"text"_s;
    screen.okiniiri = { u"0007"_s, u"唐津"_s, u"   1R"_s, u"   5R"_s };

    resetResultPanel(screen);
    for (const QString &caption : screen.tit)
        QCOMPARE(caption, QString());
    for (const QString &caption : screen.dds)
        QCOMPARE(caption, QString());
    for (size_t k = 1; k <= 3; ++k) {
        QCOMPARE(screen.tyaku[k].caption, QString());
        QCOMPARE(screen.tyaku[k].bg, colours::NeutralGrey);
    }
    QCOMPARE(screen.tyakub[1].caption, QString());
    for (size_t b = 1; b <= 6; ++b)
        QVERIFY(!screen.wak[b].visible);
    QCOMPARE(screen.okiniiri[0], QString());
    QCOMPARE(screen.okiniiri[1], u"唐津"_s);
    QCOMPARE(screen.txb, QString());

    clearFavouriteLabels(screen);
    QCOMPARE(screen.okiniiri[1], QString());
    QCOMPARE(screen.okiniiri[3], QString());
}

QTEST_GUILESS_MAIN(TestPanelFill)
#include "tst_panelfill.moc"
