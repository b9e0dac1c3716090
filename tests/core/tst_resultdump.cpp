// End-to-end checks of the core through the resultdump tool: every race of a day clicked
// in turn, compared as parsed JSON with the expected screen. The synthetic days' expected
// files come from an independent model (tests/golden/refdump.py), not from the tool.

#include "store/linestore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Tool = QStringLiteral(RESULTDUMP_EXE);
const QString GoldenDir = QStringLiteral(RUSENA_GOLDEN_DIR);
const QString RealDataDir = QStringLiteral(RUSENA_TEST_DATA);
const QString SampleDay = QStringLiteral(RESULTDUMP_SAMPLE_DAY);

struct Run final {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const QStringList &args, const QString &outputFile = {})
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(Tool, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput(), process.readAllStandardError() };
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first line where two documents part, both written out the same way, so a failure
// says what changed.
QByteArray firstDifference(const QJsonDocument &actual, const QJsonDocument &expected)
{
    const QList<QByteArray> a = actual.toJson().split('\n');
    const QList<QByteArray> e = expected.toJson().split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        const QByteArray left = i < a.size() ? a[i] : "<end>";
        const QByteArray right = i < e.size() ? e[i] : "<end>";
        if (left != right)
            return "line " + QByteArray::number(i + 1) + ": got " + left + " / expected " + right;
    }
    return {};
}

} // namespace

class TestResultDump final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matchesGoldenFile_data();
    void matchesGoldenFile();
    void finishesOnEveryRealDay_data();
    void finishesOnEveryRealDay();
    void sampleDayShowsEveryRace();
    void refusesBadCommandLines_data();
    void refusesBadCommandLines();
    void printsHelp();
    void failsWhenOutputIsCutShort();
};

void TestResultDump::matchesGoldenFile_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("expected");

    QTest::newRow("accidents, missing races, 29-line limit")
        << u"synth_day.txt"_s << QStringList() << u"synth_day.json"_s;
    QTest::newRow("favourite in two venues, payouts only")
        << u"synth_day.txt"_s << QStringList { u"--favourite"_s, u"4321"_s, u"--mode"_s, u"2"_s }
        << u"synth_day_favourite_payouts.json"_s;
    QTest::newRow("venue twice, code out of range, after FINALK")
        << u"synth_venues.txt"_s << QStringList { u"--favourite"_s, u"5555"_s }
        << u"synth_venues.json"_s;
    QTest::newRow("dates, day numbers, shared course, one-line block")
        << u"synth_dates.txt"_s << QStringList() << u"synth_dates.json"_s;
    QTest::newRow("real day with cancelled venues")
        << u"k200907.txt"_s << QStringList() << u"k200907.json"_s;
    QTest::newRow("real day with a void race and an empty venue")
        << u"k200814.txt"_s << QStringList() << u"k200814.json"_s;
}

void TestResultDump::matchesGoldenFile()
{
    QFETCH(QString, input);
    QFETCH(QStringList, options);
    QFETCH(QString, expected);

    QJsonParseError error;
    const QJsonDocument want
        = QJsonDocument::fromJson(readFile(GoldenDir + u'/' + expected), &error);
    QVERIFY2(error.error == QJsonParseError::NoError && want.isObject(),
        qPrintable(u"missing or unreadable golden file "_s + expected));

    const Run run = runTool(options + QStringList { GoldenDir + u'/' + input });
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QJsonDocument got = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QVERIFY2(got == want, firstDifference(got, want).constData());

    // Nothing of one run may leak into the next: a second run prints the same bytes.
    QCOMPARE(runTool(options + QStringList { GoldenDir + u'/' + input }).out, run.out);
}

void TestResultDump::finishesOnEveryRealDay_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name :
        { "k200105.txt", "k200814.txt", "k200815.txt", "k200907.txt", "k201230.txt" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestResultDump::finishesOnEveryRealDay()
{
    QFETCH(QString, file);
    const Run run
        = runTool({ u"--favourite"_s, u"4294"_s, u"--mode"_s, u"2"_s, RealDataDir + u'/' + file });
    QVERIFY2(run.exitCode == 0, run.err.constData());

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonObject root = doc.object();
    QVERIFY(root.value(u"line_count"_s).toInt() > 0);

    QStringList distinct;
    for (const QJsonValue &venue : root.value(u"venues"_s).toArray())
        if (!distinct.contains(venue.toString()))
            distinct.append(venue.toString());
    QVERIFY(!distinct.isEmpty());
    QCOMPARE(root.value(u"selections"_s).toArray().size(), distinct.size() * 12);
}

// The day a new user is pointed to must show every race of every venue without a message,
// and its favourite must be found at two venues.
void TestResultDump::sampleDayShowsEveryRace()
{
    const Run run = runTool({ u"--favourite"_s, u"4649"_s, SampleDay });
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QJsonObject root = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(root.value(u"venues"_s).toArray().size(), 5);

    const QJsonObject search = root.value(u"search"_s).toObject();
    QVERIFY(search.value(u"message"_s).isNull());
    QCOMPARE(search.value(u"favourite_venue"_s).toString(), u"徳山"_s);
    QCOMPARE(search.value(u"favourite_race1"_s).toString(), u" 2 R"_s);
    QCOMPARE(search.value(u"favourite_race2"_s).toString(), u" 10 R"_s);

    const QJsonArray selections = root.value(u"selections"_s).toArray();
    QCOMPARE(selections.size(), 60);
    QSet<QString> techniques;
    for (const QJsonValue &selection : selections) {
        const QJsonObject s = selection.toObject();
        QVERIFY2(s.value(u"message"_s).isNull(),
            qPrintable(
                s.value(u"venue"_s).toString() + QString::number(s.value(u"race"_s).toInt())));
        techniques.insert(
            s.value(u"panel"_s).toObject().value(u"dds"_s).toArray().at(25).toString());
    }
    QCOMPARE(techniques.size(), 8); // the seven techniques and the void race
}

void TestResultDump::refusesBadCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    const QString day = GoldenDir + u"/synth_day.txt"_s;
    QTest::newRow("no file") << QStringList();
    QTest::newRow("two files") << QStringList { day, day };
    QTest::newRow("unreadable file") << QStringList { GoldenDir + u"/no-such-day.txt"_s };
    QTest::newRow("folder as file") << QStringList { GoldenDir };
    QTest::newRow("favourite too large") << QStringList { u"--favourite"_s, u"10000"_s, day };
    QTest::newRow("favourite negative") << QStringList { u"--favourite"_s, u"-1"_s, day };
    QTest::newRow("favourite not a number") << QStringList { u"--favourite"_s, u"12a"_s, day };
    QTest::newRow("favourite without value") << QStringList { day, u"--favourite"_s };
    QTest::newRow("mode 0") << QStringList { u"--favourite"_s, u"1"_s, u"--mode"_s, u"0"_s, day };
    QTest::newRow("mode 3") << QStringList { u"--mode"_s, u"3"_s, day };
    QTest::newRow("unknown option") << QStringList { u"--verbose"_s, day };
    // A real day, then a sparse tail: larger than the viewer takes, without taking room.
    static QTemporaryDir scratch;
    const QString large = scratch.filePath(u"K200815.TXT"_s);
    QFile::copy(day, large);
    QFile(large).resize(rusena::LineStore::MaxDayBytes + 1);
    QTest::newRow("file larger than any day") << QStringList { large };
}

void TestResultDump::refusesBadCommandLines()
{
    QFETCH(QStringList, args);
    const Run run = runTool(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    // One line on standard error, ending in a newline.
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(run.err.endsWith('\n'));
}

void TestResultDump::printsHelp()
{
    const Run run = runTool({ u"--help"_s });
    QCOMPARE(run.exitCode, 0);
    for (const char *option : { "--favourite <N>", "--mode <M>", "FILE" })
        QVERIFY2(run.out.contains(option), option);
}

// A full disk must not pass for a complete document.
void TestResultDump::failsWhenOutputIsCutShort()
{
    const QString full = u"/dev/full"_s;
    if (!QFile::exists(full))
        QSKIP("no /dev/full here");
    const Run run = runTool({ GoldenDir + u"/synth_day.txt"_s }, full);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.startsWith("resultdump: cannot write the output"));
}

QTEST_GUILESS_MAIN(TestResultDump)
#include "tst_resultdump.moc"
