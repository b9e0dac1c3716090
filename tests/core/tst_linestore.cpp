// The stored day as the viewer reads it: code page 932 decoding, line terminators,
// the 8500-line limit, the character helpers and the venue list.

#include "endlessdevice.h"
#include "store/cp932.h"
#include "store/fields.h"
#include "store/linestore.h"
#include "store/nametables.h"
#include "store/venuelist.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace rusena;

class TestLineStore final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void splitsLines_data();
    void splitsLines();
    void largeDaysReadAsOneDecode_data();
    void largeDaysReadAsOneDecode();
    void keepsAtMostMaxLines_data();
    void keepsAtMostMaxLines();
    void shorterAfterLongerLeavesNothingBehind();
    void readsDevicesInBoundedPieces_data();
    void readsDevicesInBoundedPieces();
    void indexesSectionBegins_data();
    void indexesSectionBegins();
    void readsRealFiles_data();
    void readsRealFiles();
    void nameTables();
    void cutsByCharacters_data();
    void cutsByCharacters();
    void anchors_data();
    void anchors();
    void venueList_data();
    void venueList();
};

void TestLineStore::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("01KBGN") << QStringLiteral("01KBGN");
    QTest::newRow("control bytes kept")
        << QByteArray("\x1a\x1c\x7f", 3) << QStringLiteral("\x1a\x1c\x7f");
    QTest::newRow("kanji") << QByteArray("\x8b\xcb\x90\xb6") << QStringLiteral("桐生");
    QTest::newRow("half-width kana") << QByteArray("\xbd\xc0\xb0\xc4") << QStringLiteral("ｽﾀｰﾄ");
    QTest::newRow("ibm extension FB FC") << QByteArray("\xfb\xfc") << QStringLiteral("髙");
    QTest::newRow("nec extension FA B1") << QByteArray("\xfa\xb1") << QStringLiteral("﨑");
    QTest::newRow("circled one") << QByteArray("\x87\x40") << QStringLiteral("①");
    QTest::newRow("wave dash is fullwidth tilde")
        << QByteArray("\x81\x60") << QString(QChar(0xFF5E));
    QTest::newRow("full-width space") << QByteArray("\x81\x40") << QString(QChar(0x3000));
    QTest::newRow("invalid lead byte") << QByteArray("A\xffZ") << QStringLiteral("A\uFFFDZ");
    QTest::newRow("bad trail keeps next byte")
        << QByteArray("\x81\x20X") << QStringLiteral("\uFFFD X");
    QTest::newRow("truncated at end") << QByteArray("AB\x8b") << QStringLiteral("AB\uFFFD");
    QTest::newRow("two bad bytes, two replacements")
        << QByteArray("\xfd\xfe") << QStringLiteral("\uFFFD\uFFFD");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestLineStore::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeCp932(bytes), text);
}

void TestLineStore::splitsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList { u"a"_qs, u"b"_qs };
    QTest::newRow("CR only") << QByteArray("a\rb\r") << QStringList { u"a"_qs, u"b"_qs };
    QTest::newRow("LF only is one line") << QByteArray("a\nb\n") << QStringList { u"a\nb\n"_qs };
    QTest::newRow("no final terminator")
        << QByteArray("a\r\nb") << QStringList { u"a"_qs, u"b"_qs };
    QTest::newRow("empty lines kept")
        << QByteArray("\r\n\r\nx\r\n") << QStringList { QString(), QString(), u"x"_qs };
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb")
                              << QStringList { u"a"_qs, QString(), u"b"_qs };
    QTest::newRow("empty file") << QByteArray() << QStringList {};
    QTest::newRow("lone CR") << QByteArray("\r") << QStringList { QString() };
    QTest::newRow("truncated lead before CR")
        << QByteArray("A\x8b\r\nB") << QStringList { u"A\uFFFD"_qs, u"B"_qs };
}

void TestLineStore::splitsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    LineStore store;
    QCOMPARE(store.loadBytes(bytes), lines.size());
    QCOMPARE(store.count(), lines.size());
    for (int n = 1; n <= lines.size(); ++n)
        QCOMPARE(store.line(n), lines.at(n - 1));
    QCOMPARE(store.line(lines.size() + 1), QString());
    QCOMPARE(static_cast<qsizetype>(splitResultLines(bytes).size()), lines.size());
}

// A large day is decoded in pieces; whatever falls on a piece's edge (CR LF split, a long
// line, bad bytes) must read exactly as decoding the whole file at once would.
void TestLineStore::largeDaysReadAsOneDecode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    static const QByteArray pieces[] = { "\r\n", "\r", "\n", "x", "12345 ", "\x88\x9f", "\x81\x40",
        "\x8b\r\n", "\x80", "\xa0", "\xfc\xfc", "\x82" };
    for (const quint32 seed : { 1u, 2u, 3u, 4u }) {
        QRandomGenerator random(seed);
        QByteArray bytes;
        while (bytes.size() < 300 * 1024)
            bytes += pieces[random.bounded(int(std::size(pieces)))];
        QTest::addRow("random day %u", seed) << bytes;
    }
    QByteArray edge(32 * 1024 - 1, 'a');
    QTest::newRow("CR LF on the piece edge") << edge + "\r\nb\r\n" + edge + "\r\nc";
    QTest::newRow("lead byte on the piece edge") << edge + "\x88\x9f\r\n" + edge + "\x88\r\n";
    QTest::newRow("one line longer than a piece") << QByteArray(100 * 1024, 'z') + "\r\nend";
}

void TestLineStore::largeDaysReadAsOneDecode()
{
    QFETCH(QByteArray, bytes);
    const QString whole = decodeCp932(bytes);
    QStringList expected;
    forEachResultLine(
        QStringView(whole), [&](QStringView line) { expected.append(line.toString()); });

    LineStore store;
    QCOMPARE(store.loadBytes(bytes),
        std::min<qsizetype>(expected.size(), LineStore::MaxResultLines + 1));
    QStringList lines;
    for (int n = 1; n <= store.count(); ++n)
        lines.append(store.line(n));
    QCOMPARE(lines, expected.mid(0, LineStore::MaxResultLines));
}

void TestLineStore::keepsAtMostMaxLines_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("8499") << 8499;
    QTest::newRow("exactly 8500") << 8500;
    QTest::newRow("8501") << 8501;
    QTest::newRow("9000") << 9000;
}

void TestLineStore::keepsAtMostMaxLines()
{
    QFETCH(int, lines);
    QByteArray bytes;
    for (int n = 1; n <= lines; ++n)
        bytes += QByteArray::number(n) + "\r\n";
    LineStore store;
    // Counting stops once a line past the limit has begun.
    QCOMPARE(store.loadBytes(bytes), std::min(lines, LineStore::MaxResultLines + 1));
    QCOMPARE(store.count(), std::min(lines, LineStore::MaxResultLines));
    QCOMPARE(store.line(store.count()), QString::number(store.count()));
    QCOMPARE(store.line(8501), QString());
    QCOMPARE(store.line(0), QString());
}

void TestLineStore::shorterAfterLongerLeavesNothingBehind()
{
    LineStore store;
    store.loadBytes("1\r\n2\r\n3\r\n4\r\n");
    store.loadBytes("x\r\n");
    QCOMPARE(store.count(), 1);
    QCOMPARE(store.line(1), u"x"_qs);
    QCOMPARE(store.line(2), QString());
    QCOMPARE(store.line(4), QString());
}

// A stored day that never ends (a link to a device, a runaway writer) is read only as far as
// the limits need: its first 8500 lines, or nothing once it passes the byte limit.
void TestLineStore::readsDevicesInBoundedPieces_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<qsizetype>("lines"); // -1: refused
    QTest::addColumn<qint64>("readAtMost");
    const qint64 slack = 64 * 1024;
    const qsizetype past = LineStore::MaxResultLines + 1;
    QTest::newRow("endless CR") << QByteArray("\r") << past << past + slack;
    QTest::newRow("endless CR LF lines") << QByteArray("12345\r\n") << past << 7 * past + slack;
    QTest::newRow("endless bytes, no terminator")
        << QByteArray("x") << qsizetype(-1) << LineStore::MaxDayBytes + slack;
    QTest::newRow("endless line feeds")
        << QByteArray("\n") << qsizetype(-1) << LineStore::MaxDayBytes + slack;
}

void TestLineStore::readsDevicesInBoundedPieces()
{
    QFETCH(QByteArray, pattern);
    QFETCH(qsizetype, lines);
    QFETCH(qint64, readAtMost);
    LineStore store;
    store.loadBytes("01KBGN\r\nold day\r\n");
    EndlessDevice endless(pattern);
    QVERIFY(endless.open(QIODevice::ReadOnly | QIODevice::Unbuffered));

    const std::optional<qsizetype> read = store.load(endless);
    QCOMPARE(read.value_or(-1), lines);
    QVERIFY2(endless.served() <= readAtMost, qPrintable(QString::number(endless.served())));
    QCOMPARE(store.count(), read ? LineStore::MaxResultLines : 0);
    QCOMPARE(store.line(1), read ? QString::fromLatin1(pattern.trimmed()) : QString());
    QCOMPARE(store.sectionBeginLines().empty(), true);
}

void TestLineStore::indexesSectionBegins_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<std::vector<int>>("begins");
    QTest::newRow("none") << QByteArray("STARTK\r\nFINALK\r\n") << std::vector<int> {};
    QTest::newRow("two, any code, duplicates kept")
        << QByteArray("STARTK\r\n01KBGN\r\nx\r\n01KEND\r\n99KBGN\r\n01KBGN\r\n")
        << std::vector<int> { 2, 5, 6 };
    QTest::newRow("marker not at position 3")
        << QByteArray(" 01KBGN\r\n01KBG\r\nKBGN\r\n") << std::vector<int> {};
    QTest::newRow("last line, unterminated") << QByteArray("a\r24KBGN") << std::vector<int> { 2 };
    QByteArray past;
    for (int n = 1; n <= LineStore::MaxResultLines; ++n)
        past += n == 8000 ? "05KBGN\r\n" : "x\r\n";
    QTest::newRow("past line 8500 is not read") << past + "06KBGN\r\n" << std::vector<int> { 8000 };
}

void TestLineStore::indexesSectionBegins()
{
    QFETCH(QByteArray, bytes);
    QFETCH(std::vector<int>, begins);
    LineStore store;
    store.loadBytes("01KBGN\r\n02KBGN\r\n03KBGN\r\n04KBGN\r\n05KBGN\r\n06KBGN\r\n07KBGN\r\n");
    store.loadBytes(bytes);
    QCOMPARE(store.sectionBeginLines(), begins);
    store.clear();
    QVERIFY(store.sectionBeginLines().empty());
}

void TestLineStore::readsRealFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("k200105") << u"k200105.txt"_qs << 5602 << u"FINALK"_qs;
    QTest::newRow("k200814") << u"k200814.txt"_qs << 4205 << u"FINALK"_qs;
    QTest::newRow("k200815") << u"k200815.txt"_qs << 4770 << u"FINALK"_qs;
    QTest::newRow("k200907") << u"k200907.txt"_qs << 1094 << u"FINALK"_qs;
    QTest::newRow("k201230") << u"k201230.txt"_qs << 3866 << u"FINALK"_qs;
}

void TestLineStore::readsRealFiles()
{
    QFETCH(QString, file);
    QFETCH(int, lines);
    QFETCH(QString, lastLine);
    QFile f(QStringLiteral(RUSENA_TEST_DATA "/") + file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    LineStore store;
    store.loadBytes(f.readAll());
    QCOMPARE(store.count(), lines);
    QVERIFY(store.line(lines).startsWith(lastLine));
    QCOMPARE(store.line(1), u"STARTK"_qs);
    for (int n = 1; n <= lines; ++n)
        QVERIFY2(!store.line(n).contains(QChar(0xFFFD)), qPrintable(QString::number(n)));
}

void TestLineStore::nameTables()
{
    NameTables t;
    fillNameTables(t);
    QCOMPARE(t.venueNames[11], u"琵琶湖"_qs);
    QCOMPARE(t.venueNames[1], u"桐生"_qs);
    QCOMPARE(t.venueNames[24], u"大村"_qs);
    QCOMPARE(t.techniqueNames[0], u"不成立"_qs);
    QCOMPARE(t.techniqueNames[6], u"まくり差し"_qs);
    QCOMPARE(t.raceLabels[1], u"   1R"_qs);
    QCOMPARE(t.raceLabels[10], u"  10R"_qs);
    QCOMPARE(t.venueName(0), QString());
    QCOMPARE(t.venueName(25), QString());
    QSet<QString> unique(t.venueNames.begin() + 1, t.venueNames.end());
    QCOMPARE(unique.size(), 24);
}

void TestLineStore::cutsByCharacters_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("cut");
    const QString row = u"  01  1 4101 三井所　　尊　春 11"_qs;
    QTest::newRow("name, full width counts one") << row << 14 << 8 << u"三井所　　尊　春"_qs;
    QTest::newRow("past the end gives less") << row << 23 << 7 << u"11"_qs;
    QTest::newRow("start past the end gives nothing") << row << 40 << 3 << QString();
    QTest::newRow("before position 1 is dropped") << u"abc"_qs << 0 << 2 << u"a"_qs;
    QTest::newRow("negative start") << u"abc"_qs << -5 << 3 << QString();
}

void TestLineStore::cutsByCharacters()
{
    QFETCH(QString, line);
    QFETCH(int, pos);
    QFETCH(int, length);
    QFETCH(QString, cut);
    QCOMPARE(fields::cut(line, pos, length).toString(), cut);
}

void TestLineStore::anchors_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("r");
    QTest::addColumn<QList<int>>("dots");
    QTest::newRow("finisher")
        << u"  01  1 4101 三井所　　尊　春 11   81  6.73   1    0.27     1.52.0"_qs << 3 << 9
        << QList<int> { 57, 54, 45, 33 };
    QTest::newRow("empty line: past the end is non-blank") << QString() << 1 << 1 << QList<int> {};
    QTest::newRow("all blank but short") << u"   "_qs << 4 << 4 << QList<int> {};
    QTest::newRow("full-width space is non-blank") << u" \u3000ab"_qs << 2 << 2 << QList<int> {};
    QTest::newRow("blank only for 210")
        << QString(210, QLatin1Char(' ')) << 0 << 0 << QList<int> {};
    QTest::newRow("dot past 200 not seen")
        << QString(200, QLatin1Char(' ')) + u"."_qs << 0 << 0 << QList<int> {};
}

void TestLineStore::anchors()
{
    QFETCH(QString, line);
    QFETCH(int, m);
    QFETCH(int, r);
    QFETCH(QList<int>, dots);
    QCOMPARE(fields::firstNonBlank(line), m);
    QCOMPARE(fields::firstRunOfFour(line), r);
    QCOMPARE(fields::dotsFromRight(line), dots);
}

void TestLineStore::venueList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("venues");
    QTest::newRow("two venues in file order")
        << QByteArray("STARTK\r\n02KBGN\r\nx\r\n02KEND\r\n12KBGN\r\n12KEND\r\nFINALK\r\n")
        << QStringList { u"戸田"_qs, u"住之江"_qs };
    QTest::newRow("no begin line") << QByteArray("STARTK\r\nFINALK\r\n") << QStringList {};
    QTest::newRow("after FINALK not listed")
        << QByteArray("01KBGN\r\nFINALK\r\n03KBGN\r\n") << QStringList { u"桐生"_qs };
    QTest::newRow("blank before digit")
        << QByteArray(" 3KBGN\r\n03KBGN\r\n") << QStringList { u"江戸川"_qs, u"江戸川"_qs };
    QTest::newRow("out of range codes skipped")
        << QByteArray("00KBGN\r\n25KBGN\r\nxxKBGN\r\n24KBGN\r\n") << QStringList { u"大村"_qs };
    // "1" and a full-width blank (0x81 0x40), and a sign: neither is a venue code.
    QTest::newRow("only digits and half-width blanks")
        << QByteArray("+5KBGN\r\n1\x81\x40KBGN\r\n-3KBGN\r\n07KBGN\r\n")
        << QStringList { u"蒲郡"_qs };
    QTest::newRow("case matters") << QByteArray("01kbgn\r\nfinalk\r\n05KBGN\r\n")
                                  << QStringList { u"多摩川"_qs };
    QTest::newRow("short line does not match") << QByteArray("01KBG\r\n") << QStringList {};
}

void TestLineStore::venueList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, venues);
    LineStore store;
    store.loadBytes(bytes);
    NameTables tables;
    fillNameTables(tables);
    QStringList items;
    fillVenueList(store, tables, items);
    QCOMPARE(items, venues);
}

QTEST_GUILESS_MAIN(TestLineStore)
#include "tst_linestore.moc"
