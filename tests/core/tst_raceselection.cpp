// Finding a venue's section and a race block in the stored day: the meeting header, the
// block limits, the payouts-only text, the failure messages and the edges of the store.
// The last test runs a whole selection through the session on a real day.

#include "race/raceselection.h"
#include "session/session.h"

#include "racefixtures.h"

#include <QDir>
#include <QTemporaryDir>

using namespace rusena;
using namespace racefixtures;
using namespace Qt::StringLiterals;

class TestRaceSelection final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messages_data();
    void messages();
    void readsRealHeaderAndBlock();
    void textModes_data();
    void textModes();
    void blockLimit_data();
    void blockLimit();
    void payoutsOnly_data();
    void payoutsOnly();
    void race12EndsOnlyAtSectionEnd();
    void missingNextRaceRunsToSectionEnd();
    void firstLabelInSectionWins();
    void labelSearchReach_data();
    void labelSearchReach();
    void dateLine_data();
    void dateLine();
    void trimsHalfWidthBlanksOnly();
    void failsOnRealDays_data();
    void failsOnRealDays();
    void cancelledVenuesNeverCrash();
    void storeEdge_data();
    void storeEdge();
    void showsRealRaceThroughSession();
};

namespace {

constexpr int Venue = 5; // 多摩川 in the made-up days
const QByteArray DateLine
    = QByteArrayLiteral("   \x91\xe6 3\x93\xfa          2020/ 1/ 5"); // 第 3日

QByteArray label(int race)
{
    return QString::number(race).rightJustified(4, u' ').toLatin1() + "R";
}

// A block of `length` lines: the label line, then lines "race r line n".
QByteArrayList block(int race, int length)
{
    QByteArrayList lines { label(race) + "  heading" };
    for (int n = 2; n <= length; ++n)
        lines << QByteArrayLiteral("race ") + QByteArray::number(race) + " line "
                + QByteArray::number(n);
    return lines;
}

// A section of venue 05 with the given body between its header and its end marker.
QByteArrayList section(const QByteArrayList &body, const QByteArray &dateLine = DateLine)
{
    QByteArrayList lines { "05KBGN", "", "", "", "", "   TAMAGAWA CUP   ", "", dateLine };
    lines << body << "05KEND";
    return lines;
}

Outcome select(const LineStore &store, int race, RaceState &state, int mode = 1, int venue = Venue)
{
    return findAndCopyRace(store, tables(), venue, race, mode, state);
}

QStringList textLines(const QString &text)
{
    QStringList lines = text.split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

void TestRaceSelection::messages_data()
{
    QTest::addColumn<Message>("message");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("no venue") << noVenueMessage() << u"開催地選択エラー"_s
                              << u"開催地を選択して下さい。"_s;
    QTest::newRow("missing data") << missingDataMessage(u"桐生"_s) << u"読み込みエラー"_s
                                  << u"桐生競艇場のデータがありません。"_s;
    QTest::newRow("race 5 unreadable") << raceReadMessage(u"桐生"_s, 5) << u"読み込みエラー"_s
                                       << u"桐生競艇場 ( 5レース ) 読み込みエラー。"_s;
    QTest::newRow("race 12 unreadable") << raceReadMessage(u"琵琶湖"_s, 12) << u"読み込みエラー"_s
                                        << u"琵琶湖競艇場 ( 12レース ) 読み込みエラー。"_s;
}

void TestRaceSelection::messages()
{
    QFETCH(Message, message);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QCOMPARE(message.caption, caption);
    QCOMPARE(message.text, text);
    QCOMPARE(message.icon, MessageIcon::Warning);
    QCOMPARE(message.buttons, MessageButtons::Ok);
}

void TestRaceSelection::readsRealHeaderAndBlock()
{
    const LineStore store = realDay(u"k200815.txt"_s);
    RaceState state;
    QVERIFY(select(store, 1, state, 1, 23).ok()); // 唐津

    QCOMPARE(state.meetingTitle, u"お盆特選～がばい王者決定戦～" + QString(11, QChar(0x3000)));
    QCOMPARE(state.meetingDayNumber, u" 5"_s);
    QCOMPARE(state.meetingYear, u"2020"_s);
    QCOMPARE(state.meetingMonth, u" 8"_s);
    QCOMPARE(state.meetingDayOfMonth, u"15"_s);
    QCOMPARE(state.meetingDate, u"2020年 8月15日"_s);
    const QString heading
        = u"   1R       一　　般　　                 H1800m  晴　  風  南　　 4m  波　  4cm"_s;
    QCOMPARE(state.raceHeading, heading);

    QCOMPARE(state.raceLineCount, 21);
    QCOMPARE(state.raceLines[1], heading);
    QVERIFY(state.raceLines[22].startsWith(u"   2R"_s)); // the terminator is kept
    QCOMPARE(state.raceLines[23], QString());
    const QStringList shown = textLines(state.raceText);
    QCOMPARE(shown.size(), 21);
    QCOMPARE(shown.first(), heading);
    QVERIFY(state.raceText.endsWith(u"\r\n"_s));
    QCOMPARE(state.raceText.count(u"\r\n"_s), 21);
}

void TestRaceSelection::textModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstShown");

    const QString heading
        = u"   1R       一　　般　　                 H1800m  晴　  風  南　　 4m  波　  4cm"_s;
    QTest::newRow("0 acts as everything") << 0 << 21 << heading;
    QTest::newRow("1 everything") << 1 << 21 << heading;
    QTest::newRow("2 payouts only") << 2 << 11 << u"        単勝     1          150  "_s;
}

void TestRaceSelection::textModes()
{
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(QString, firstShown);

    const LineStore store = realDay(u"k200815.txt"_s);
    RaceState state;
    QVERIFY(select(store, 1, state, mode, 23).ok());
    QCOMPARE(state.raceLineCount, count);
    const QStringList shown = textLines(state.raceText);
    QCOMPARE(shown.size(), count);
    QCOMPARE(shown.first(), firstShown);
    // The parser always sees the whole block.
    QVERIFY(state.raceLines[1].startsWith(u"   1R"_s));
    QVERIFY(state.raceLines[4].startsWith(u"  01"_s));
}

void TestRaceSelection::blockLimit_data()
{
    QTest::addColumn<int>("length"); // lines from the label up to the terminator
    QTest::addColumn<bool>("found");

    QTest::newRow("terminator right after the label") << 1 << true;
    QTest::newRow("21 lines") << 21 << true;
    QTest::newRow("29 lines") << 29 << true;
    QTest::newRow("30 lines: missing data") << 30 << false;
}

void TestRaceSelection::blockLimit()
{
    QFETCH(int, length);
    QFETCH(bool, found);

    const LineStore store = dayOf(section(block(3, length) + block(4, 3)));
    RaceState state;
    const Outcome outcome = select(store, 3, state);
    if (!found) {
        QCOMPARE(outcome.code, Code::MissingData);
        QCOMPARE(outcome.message->text, u"多摩川競艇場のデータがありません。"_s);
        return;
    }
    QVERIFY(outcome.ok());
    QCOMPARE(state.raceLineCount, length);
    QCOMPARE(state.raceLines[static_cast<size_t>(length + 1)],
        QString::fromLatin1(label(4) + "  heading"));
    QCOMPARE(textLines(state.raceText).size(), length);
}

void TestRaceSelection::payoutsOnly_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("shown");

    QTest::newRow("29 lines show 19") << 29 << 19;
    QTest::newRow("11 lines show 1") << 11 << 1;
    QTest::newRow("10 lines show none") << 10 << 0;
    QTest::newRow("label only shows none") << 1 << 0;
}

void TestRaceSelection::payoutsOnly()
{
    QFETCH(int, length);
    QFETCH(int, shown);

    const LineStore store = dayOf(section(block(3, length) + block(4, 3)));
    RaceState state;
    QVERIFY(select(store, 3, state, 2).ok());
    QCOMPARE(state.raceLineCount, shown);
    const QStringList lines = textLines(state.raceText);
    QCOMPARE(lines.size(), shown);
    if (shown > 0) {
        QCOMPARE(lines.first(), u"race 3 line 11"_s);
        QCOMPARE(lines.last(), u"race 3 line %1"_s.arg(length));
    } else {
        QCOMPARE(state.raceText, QString());
    }
    QCOMPARE(state.raceHeading, QString::fromLatin1(label(3) + "  heading"));
}

void TestRaceSelection::race12EndsOnlyAtSectionEnd()
{
    const LineStore store = dayOf(section(block(11, 2) + block(12, 2) + block(1, 2)));
    RaceState state;
    QVERIFY(select(store, 12, state).ok());
    QCOMPARE(state.raceLineCount, 4);
    QVERIFY(state.raceLines[3].startsWith(u"   1R"_s));
    QCOMPARE(state.raceLines[5], u"05KEND"_s);

    // Race 11 ends at race 12's label as usual.
    QVERIFY(select(store, 11, state).ok());
    QCOMPARE(state.raceLineCount, 2);
}

void TestRaceSelection::missingNextRaceRunsToSectionEnd()
{
    // Made up: race 4 is missing, race 3 runs on to the section end.
    const LineStore store = dayOf(section(block(3, 6)));
    RaceState state;
    QVERIFY(select(store, 3, state).ok());
    QCOMPARE(state.raceLineCount, 6);
    const Outcome missing = select(store, 4, state);
    QCOMPARE(missing.code, Code::RaceRead);
    QCOMPARE(missing.message->text, u"多摩川競艇場 ( 4レース ) 読み込みエラー。"_s);

    // Real: 鳴門 held races 1 to 7 only; race 7 ends at the section end 21 lines on.
    const LineStore real = realDay(u"k201230.txt"_s);
    QVERIFY(select(real, 7, state, 1, 14).ok());
    QCOMPARE(state.raceLineCount, 21);
    QCOMPARE(state.raceLines[22], u"14KEND"_s);
    QCOMPARE(select(real, 8, state, 1, 14).code, Code::RaceRead);
}

void TestRaceSelection::firstLabelInSectionWins()
{
    QByteArrayList body = block(2, 3);
    body[1] = label(3) + "  inside race 2";
    const LineStore store = dayOf(section(body + block(3, 2) + block(4, 2)));
    RaceState state;
    QVERIFY(select(store, 3, state).ok());
    QCOMPARE(state.raceHeading, QString::fromLatin1(label(3) + "  inside race 2"));
    QCOMPARE(state.raceLineCount, 4); // up to race 4's label
}

void TestRaceSelection::labelSearchReach_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("found");

    QTest::newRow("label at offset 360") << 360 << true;
    QTest::newRow("label at offset 361") << 361 << false;
}

void TestRaceSelection::labelSearchReach()
{
    QFETCH(int, offset);
    QFETCH(bool, found);

    QByteArrayList body;
    for (int m = 8; m < offset; ++m)
        body << "filler";
    const LineStore store = dayOf(section(body + block(1, 2) + block(2, 2)));
    RaceState state;
    const Outcome outcome = select(store, 1, state);
    QCOMPARE(outcome.ok(), found);
    if (!found)
        QCOMPARE(outcome.code, Code::RaceRead);
}

void TestRaceSelection::dateLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("dayNumber");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("year");

    QTest::newRow("blank-padded day and month")
        << DateLine << u" 3"_s << u"2020年 1月 5日"_s << u"2020"_s;
    QTest::newRow("two-digit month")
        << QByteArray("  12\x93\xfa 2020/12/30") << u"12"_s << u"2020年12月30日"_s << u"2020"_s;
    QTest::newRow("日 at position 2")
        << QByteArray(" \x93\xfa 2020/12/30") << QString() << u"2020年12月30日"_s << u"2020"_s;
    QTest::newRow("日 at position 3")
        << QByteArray("12\x93\xfa") << u"12"_s << QString() << QString();
    QTest::newRow("/ at position 4")
        << QByteArray("202/12/30") << QString() << QString() << QString();
    QTest::newRow("/ at position 5")
        << QByteArray("2020/12/30") << QString() << u"2020年12月30日"_s << u"2020"_s;
    QTest::newRow("date cut short")
        << QByteArray("2020/1") << QString() << u"2020年1月日"_s << u"2020"_s;
    QTest::newRow("no date") << QByteArray("date to follow") << QString() << QString() << QString();
    QTest::newRow("/ past position 200")
        << QByteArray(200, ' ') + "2020/ 1/ 5" << QString() << QString() << QString();
}

void TestRaceSelection::dateLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, dayNumber);
    QFETCH(QString, date);
    QFETCH(QString, year);

    const LineStore store = dayOf(section(block(1, 2) + block(2, 2), line));
    RaceState state;
    QVERIFY(select(store, 1, state).ok()); // the selection goes on either way
    QCOMPARE(state.meetingDayNumber, dayNumber);
    QCOMPARE(state.meetingDate, date);
    QCOMPARE(state.meetingYear, year);
}

void TestRaceSelection::trimsHalfWidthBlanksOnly()
{
    const LineStore store = dayOf(section(block(1, 2) + block(2, 2)));
    RaceState state;
    QVERIFY(select(store, 1, state).ok());
    QCOMPARE(state.meetingTitle, u"TAMAGAWA CUP"_s);
    QCOMPARE(state.raceHeading, u"   1R  heading"_s); // the heading is not trimmed
}

void TestRaceSelection::failsOnRealDays_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("venue");
    QTest::addColumn<int>("race");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    const auto missing = static_cast<int>(Code::MissingData);
    const auto unread = static_cast<int>(Code::RaceRead);
    QTest::newRow("venue without a section")
        << u"k200907.txt"_s << 1 << 1 << missing << u"桐生競艇場のデータがありません。"_s;
    QTest::newRow("cancelled venue 10")
        << u"k200907.txt"_s << 10 << 1 << unread << u"三国競艇場 ( 1レース ) 読み込みエラー。"_s;
    QTest::newRow("placeholder section, end at offset 7")
        << u"k200814.txt"_s << 12 << 12 << unread
        << u"住之江競艇場 ( 12レース ) 読み込みエラー。"_s;
    QTest::newRow("venue code 0") << u"k200815.txt"_s << 0 << 1 << missing
                                  << u"競艇場のデータがありません。"_s;
    QTest::newRow("venue code 25")
        << u"k200815.txt"_s << 25 << 1 << missing << u"競艇場のデータがありません。"_s;
    QTest::newRow("race 13") << u"k200815.txt"_s << 23 << 13 << unread
                             << u"唐津競艇場 ( 13レース ) 読み込みエラー。"_s;
}

void TestRaceSelection::failsOnRealDays()
{
    QFETCH(QString, file);
    QFETCH(int, venue);
    QFETCH(int, race);
    QFETCH(int, code);
    QFETCH(QString, text);

    const LineStore store = realDay(file);
    RaceState state;
    const Outcome outcome = select(store, race, state, 1, venue);
    QCOMPARE(static_cast<int>(outcome.code), code);
    QVERIFY(outcome.message);
    QCOMPARE(outcome.message->text, text);
}

void TestRaceSelection::cancelledVenuesNeverCrash()
{
    // Venue 9 (津) raced; the other sections of this day hold no race blocks.
    const LineStore store = realDay(u"k200907.txt"_s);
    RaceState state;
    for (int venue : { 24, 22, 21, 19, 17, 16, 14, 10, 3 }) {
        for (int race = 1; race <= 12; ++race) {
            const Outcome outcome = select(store, race, state, 1, venue);
            QCOMPARE(outcome.code, Code::RaceRead);
        }
    }
    QVERIFY(select(store, 12, state, 1, 9).ok());
    QCOMPARE(state.meetingTitle, u"津インクル開設９周年記念レース" + QString(10, QChar(0x3000)));
    QCOMPARE(state.meetingDate, u"2020年 9月 7日"_s);
}

void TestRaceSelection::storeEdge_data()
{
    QTest::addColumn<int>("sectionStart");
    QTest::addColumn<int>("labelLine"); // 0: no label
    QTest::addColumn<int>("endLine"); // 0: no end marker
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("title");

    const auto ok = static_cast<int>(Code::Ok);
    QTest::newRow("section in the last lines: no title, no date")
        << 8496 << 0 << 0 << static_cast<int>(Code::RaceRead) << QString();
    QTest::newRow("title on the last line")
        << 8495 << 0 << 0 << static_cast<int>(Code::RaceRead) << u"LAST"_s;
    QTest::newRow("block copy runs past the store")
        << 8400 << 8480 << 0 << static_cast<int>(Code::MissingData) << u"LAST"_s;
    QTest::newRow("block ending on line 8500") << 8400 << 8480 << 8500 << ok << u"LAST"_s;
}

void TestRaceSelection::storeEdge()
{
    QFETCH(int, sectionStart);
    QFETCH(int, labelLine);
    QFETCH(int, endLine);
    QFETCH(int, code);
    QFETCH(QString, title);

    QByteArrayList lines;
    for (int n = 1; n <= LineStore::MaxResultLines; ++n)
        lines << "x";
    lines[sectionStart - 1] = "05KBGN";
    if (sectionStart + 5 <= LineStore::MaxResultLines)
        lines[sectionStart + 5 - 1] = "  LAST  ";
    if (labelLine > 0)
        lines[labelLine - 1] = label(1);
    if (endLine > 0)
        lines[endLine - 1] = "05KEND";
    const LineStore store = dayOf(lines);
    QCOMPARE(store.count(), LineStore::MaxResultLines);

    RaceState state;
    const Outcome outcome = select(store, 1, state);
    QCOMPARE(static_cast<int>(outcome.code), code);
    QCOMPARE(state.meetingTitle, title);
    if (sectionStart + 7 > LineStore::MaxResultLines) {
        QCOMPARE(state.meetingDate, QString());
        QCOMPARE(state.meetingDayNumber, QString());
    }
    if (outcome.ok())
        QCOMPARE(state.raceLineCount, endLine - labelLine);
}

void TestRaceSelection::showsRealRaceThroughSession()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const DataFolder folder = DataFolder::below(root.path());
    QVERIFY(folder.ensureData());
    QVERIFY(QFile::copy(QStringLiteral(RUSENA_TEST_DATA "/k200815.txt"), folder.racekPath()));

    Session session(folder);
    session.startUp();
    const ScreenModel &screen = session.screen();
    QCOMPARE(screen.cmbItems.value(0), u"唐津"_s);

    QCOMPARE(session.selectRace(5).code, Code::NoVenueChosen);
    session.selectVenue(0);
    QVERIFY(session.selectRace(5).ok());

    QCOMPARE(screen.tit[0], u"2020年 8月15日"_s);
    QCOMPARE(screen.tit[1], u"第 5日"_s);
    QVERIFY(screen.tit[3].startsWith(u"   5R"_s));
    QCOMPARE(screen.dds[0], u"  赤　峰　　和　也"_s); // course 1 is boat 1, placed second
    QCOMPARE(screen.dds[3], u"  長　溝　　一　生"_s);
    QCOMPARE(screen.dds[16], u"F0.04"_s);
    QCOMPARE(screen.dds[24], u"3.F5.F"_s);
    QCOMPARE(screen.dds[25], u"まくり差し"_s);
    QCOMPARE(screen.tyaku[1].caption, u"６"_s);
    QCOMPARE(screen.tyaku[2].caption, u"１"_s);
    QCOMPARE(screen.tyaku[3].caption, u"４"_s);
    QCOMPARE(screen.tyakub[1].caption, u"-"_s);
    QCOMPARE(screen.tyakub[2].caption, u"-"_s);
    // Boat 3 flew by 0.04 from course 5: right of the 0.00 line.
    QCOMPARE(screen.wak[3].left, 5200);
    QCOMPARE(screen.wak[3].top, 2180);
    QVERIFY(screen.wak[3].visible);
    QVERIFY(screen.txb.startsWith(u"   5R"_s));
    QCOMPARE(screen.txb, session.race().raceText);

    // A cancelled venue blanks the panel.
    session.selectVenue(int(screen.cmbItems.indexOf(u"住之江"_s)));
    const Outcome failed = session.selectRace(1);
    QCOMPARE(failed.code, Code::RaceRead);
    QCOMPARE(failed.message->text, u"住之江競艇場 ( 1レース ) 読み込みエラー。"_s);
    QCOMPARE(screen.tit[0], QString());
    QCOMPARE(screen.txb, QString());
    QVERIFY(!screen.wak[3].visible);
    QCOMPARE(session.race().techniqueCode, QString());
}

QTEST_GUILESS_MAIN(TestRaceSelection)
#include "tst_raceselection.moc"
