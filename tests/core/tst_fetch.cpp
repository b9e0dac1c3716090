// Fetching from an HTTP server on 127.0.0.1 that serves real archives under the
// organiser's layout and answers as scripted: errors, stalls, cut-short bodies, HTML pages,
// redirects; held days; the interval between requests; a fetch killed many times.

#include "archiveserver.h"
#include "daygenerator.h"

#include "fetch/fetcher.h"
#include "fetch/heldday.h"
#include "library/archivereader.h"
#include "library/exporter.h"
#include "library/importbatch.h"
#include "library/library.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena;
using namespace rusena::fetch;
using namespace archiveserver;
using namespace Qt::StringLiterals;
using Result = FetchLine::Result;

namespace {

const QString Archives = QStringLiteral(RUSENA_TEST_DATA "/fetch");
const QDate First(2020, 1, 1);
const QDate Middle(2020, 1, 2);

QList<Slot> resultDays()
{
    return slotsOf(First, First.addDays(2), true, false);
}

FetchOptions optionsFor(const ArchiveServer &server, QList<Slot> slots)
{
    FetchOptions options;
    options.source = QUrl(server.source());
    options.slots = std::move(slots);
    options.intervalSeconds = 0;
    options.timeoutSeconds = 1;
    options.retryWaitMs = 20;
    return options;
}

FetchReport runFetch(const QString &folder, const FetchOptions &options)
{
    Fetcher fetcher(folder, options);
    QSignalSpy finished(&fetcher, &Fetcher::finished);
    fetcher.start();
    if (finished.isEmpty() && !finished.wait(30000))
        qWarning("the fetch did not finish");
    return fetcher.report();
}

QByteArray memberOf(const QString &archive)
{
    const library::ArchiveContents contents = library::readArchive(archive);
    return contents.members.value(0).bytes;
}

QString archiveFile(const QDate &date)
{
    return Archives + u'/' + archiveName(Kind::Results, date);
}

// Every stored result day is the archive's day byte for byte.
QList<QDate> wholeDays(const QString &folder)
{
    library::DayFiles files(folder);
    QList<QDate> out;
    for (const QDate &date : files.dates()) {
        if (files.read(date) == memberOf(archiveFile(date)))
            out.append(date);
    }
    return out;
}

QByteArray exportOf(library::Library &lib, const QString &folder)
{
    if (!library::exportLibrary(lib, folder).ok())
        return {};
    QByteArray all;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile file(folder + u'/' + name);
        all += name.toUtf8() + '\n' + (file.open(QIODevice::ReadOnly) ? file.readAll() : "");
    }
    return all;
}

int requestsFor(const ArchiveServer &server, const QByteArray &path)
{
    int n = 0;
    for (const Request &request : server.requests())
        n += request.path == path ? 1 : 0;
    return n;
}

// The real day with the organiser's "not yet" note after its last section.
QByteArray withNotYetNote(const QByteArray &day)
{
    return day + "\r\n" + daygenerator::toCp932(notYetNote(Kind::Results)) + "\r\n";
}

} // namespace

class TestFetch final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void interval_data();
    void interval();
    void japanDate_data();
    void japanDate();
    void defaultPeriod_data();
    void defaultPeriod();
    void answers_data();
    void answers();
    void heldDays_data();
    void heldDays();
    void intervalIsKept();
    void killedFetchLeavesWholeDays();
};

void TestFetch::interval_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("ms");
    const QString organiser = QString::fromUtf16(DefaultSource);
    QTest::newRow("organiser, default") << organiser << 2.0 << 2000;
    QTest::newRow("organiser, zero asked") << organiser << 0.0 << 1000;
    QTest::newRow("organiser, half a second asked") << organiser << 0.5 << 1000;
    QTest::newRow("organiser in capitals") << u"http://WWW1.MBRACE.OR.JP/od2"_s << 0.0 << 1000;
    QTest::newRow("organiser with a trailing dot")
        << u"http://www1.mbrace.or.jp./od2"_s << 0.0 << 1000;
    QTest::newRow("organiser over https") << u"https://www1.mbrace.or.jp/od2"_s << 0.2 << 1000;
    QTest::newRow("another host of the organiser") << u"http://mbrace.or.jp/"_s << 0.0 << 1000;
    QTest::newRow("a host merely ending alike") << u"http://notmbrace.or.jp/"_s << 0.0 << 0;
    QTest::newRow("a mirror, zero") << u"http://mirror.example/od2"_s << 0.0 << 0;
    QTest::newRow("a mirror, 1.5 s") << u"http://mirror.example/od2"_s << 1.5 << 1500;
    QTest::newRow("negative is zero") << u"http://127.0.0.1:8080"_s << -3.0 << 0;
}

void TestFetch::interval()
{
    QFETCH(QString, source);
    QFETCH(double, seconds);
    QFETCH(int, ms);
    QCOMPARE(requestIntervalMs(QUrl(source), seconds), ms);
}

void TestFetch::japanDate_data()
{
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QDate>("japan");
    QTest::newRow("14:59 UTC is the same day") << QDateTime(First, QTime(14, 59), Qt::UTC) << First;
    QTest::newRow("15:00 UTC is the next day") << QDateTime(First, QTime(15, 0), Qt::UTC) << Middle;
    QTest::newRow("new year's eve in London")
        << QDateTime(QDate(2020, 12, 31), QTime(20, 0), Qt::UTC) << QDate(2021, 1, 1);
    QTest::newRow("summer: no summer time")
        << QDateTime(QDate(2020, 7, 1), QTime(15, 30), Qt::UTC) << QDate(2020, 7, 2);
}

void TestFetch::japanDate()
{
    QFETCH(QDateTime, utc);
    QFETCH(QDate, japan);
    QCOMPARE(japanToday(utc), japan);
}

void TestFetch::defaultPeriod_data()
{
    QTest::addColumn<QList<QDate>>("complete");
    QTest::addColumn<QList<QDate>>("notYet");
    QTest::addColumn<bool>("programmes");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    const QDate today(2020, 1, 31);
    QTest::newRow("empty library: 30 days of results")
        << QList<QDate> {} << QList<QDate> {} << false << QDate(2020, 1, 2) << today;
    QTest::newRow("empty library: programmes up to tomorrow")
        << QList<QDate> {} << QList<QDate> {} << true << QDate(2020, 1, 2) << QDate(2020, 2, 1);
    QTest::newRow("after the newest stored day")
        << QList<QDate> { First, QDate(2020, 1, 20) } << QList<QDate> {} << false
        << QDate(2020, 1, 21) << today;
    QTest::newRow("the newest days still not complete")
        << QList<QDate> { First } << QList<QDate> { QDate(2020, 1, 20), QDate(2020, 1, 21) }
        << false << QDate(2020, 1, 20) << today;
    QTest::newRow("results stored do not count for programmes")
        << QList<QDate> { QDate(2020, 1, 20) } << QList<QDate> {} << true << QDate(2020, 1, 2)
        << QDate(2020, 2, 1);
    QTest::newRow("up to date: nothing")
        << QList<QDate> { today } << QList<QDate> {} << false << QDate() << QDate();
}

void TestFetch::defaultPeriod()
{
    QFETCH(QList<QDate>, complete);
    QFETCH(QList<QDate>, notYet);
    QFETCH(bool, programmes);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QTemporaryDir folder;
    library::Library lib(folder.path());
    const QByteArray day = memberOf(archiveFile(First));
    for (const QDate &date : complete + notYet) {
        const QByteArray bytes = notYet.contains(date) ? withNotYetNote(day) : day;
        QVERIFY(lib.importDay(library::DayFiles::storedName(date), bytes).stored());
    }
    const QList<Slot> plan = HeldDays(lib).plan(
        std::nullopt, std::nullopt, !programmes, programmes, QDate(2020, 1, 31));
    QCOMPARE(plan.isEmpty() ? QDate() : plan.constFirst().date, from);
    QCOMPARE(plan.isEmpty() ? QDate() : plan.constLast().date, to);
    QCOMPARE(plan.size(), from.isValid() ? from.daysTo(to) + 1 : 0);
}

void TestFetch::answers_data()
{
    QTest::addColumn<QList<Answer>>("script");
    QTest::addColumn<QByteArray>("redirectTarget"); ///< scripted too, when given
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("requests");
    using K = Answer::Kind;
    const Answer status500 { K::Status, 500, {} };
    const Answer stall { K::Stall, 200, {} };
    const Answer cut { K::CutShort, 200, {} };
    QTest::newRow("three days, all fetched")
        << QList<Answer> {} << QByteArray() << int(Result::Added) << QString() << 1;
    QTest::newRow("404 is not published")
        << QList<Answer> { { K::Status, 404, {} } } << QByteArray() << int(Result::NotPublished)
        << QString() << 1;
    QTest::newRow("500 then 200: tried again")
        << QList<Answer> { status500 } << QByteArray() << int(Result::Added) << QString() << 2;
    QTest::newRow("500 three times: failed")
        << QList<Answer> { status500, status500, status500 } << QByteArray() << int(Result::Failed)
        << u"HTTP 500"_s << 3;
    QTest::newRow("503 twice then 200")
        << QList<Answer> { { K::Status, 503, {} }, { K::Status, 503, {} } } << QByteArray()
        << int(Result::Added) << QString() << 3;
    QTest::newRow("stalled body: time-out three times")
        << QList<Answer> { stall, stall, stall } << QByteArray() << int(Result::Failed)
        << u"応答がありません"_s << 3;
    QTest::newRow("stalled once, then whole")
        << QList<Answer> { stall } << QByteArray() << int(Result::Added) << QString() << 2;
    QTest::newRow("body cut short three times")
        << QList<Answer> { cut, cut, cut } << QByteArray() << int(Result::Failed)
        << u"途中で切れました"_s << 3;
    QTest::newRow("half an archive, said to be whole")
        << QList<Answer> { { K::Truncated, 200, {} } } << QByteArray() << int(Result::Failed)
        << u"書庫"_s << 1;
    QTest::newRow("HTML page with status 200")
        << QList<Answer> { { K::Html, 200, {} } } << QByteArray() << int(Result::Failed)
        << u"LZH 書庫ではない"_s << 1;
    QTest::newRow("403 is no error to try again")
        << QList<Answer> { { K::Status, 403, {} } } << QByteArray() << int(Result::Failed)
        << u"HTTP 403"_s << 1;
    QTest::newRow("redirect to another path: followed")
        << QList<Answer> { { K::Redirect, 302, "/od2/mirror/k200102.lzh" } } << QByteArray()
        << int(Result::Added) << QString() << 1;
    QTest::newRow("redirect loop: failed")
        << QList<Answer>(10, { K::Redirect, 302, "/od2/K/202001/k200102.lzh" }) << QByteArray()
        << int(Result::Failed) << u"転送"_s << 6;
    QTest::newRow("redirect to ftp: refused")
        << QList<Answer> { { K::Redirect, 302, "ftp://127.0.0.1/k200102.lzh" } } << QByteArray()
        << int(Result::Failed) << u"http, https 以外"_s << 1;
}

void TestFetch::answers()
{
    QFETCH(QList<Answer>, script);
    QFETCH(int, result);
    QFETCH(QString, reason);
    QFETCH(int, requests);
    ArchiveServer server(Archives, Archives);
    QVERIFY(server.start());
    const QByteArray middle = server.pathOf('K', Middle);
    server.script(middle, script);
    QTemporaryDir folder;

    const FetchReport report = runFetch(folder.path(), optionsFor(server, resultDays()));

    QCOMPARE(report.lines.size(), 3);
    for (const FetchLine &line : report.lines) {
        if (line.slot.date != Middle) {
            QCOMPARE(line.result, Result::Added);
            continue;
        }
        QCOMPARE(int(line.result), result);
        QVERIFY2(line.reason.contains(reason), qPrintable(line.reason));
    }
    QCOMPARE(requestsFor(server, middle), requests);
    // Only whole days are filed: the middle one only when it was fetched.
    const bool stored = result == int(Result::Added);
    QList<QDate> expected { First, First.addDays(2) };
    if (stored)
        expected.insert(1, Middle);
    QCOMPARE(library::DayFiles(folder.path()).dates(), expected);
    QCOMPARE(wholeDays(folder.path()), expected);
    QCOMPARE(report.failed(), result == int(Result::Failed));
    if (!stored)
        return;
    // The library is the one a direct import of the same archives makes.
    QTemporaryDir direct;
    library::Library imported(direct.path());
    library::importSources(
        imported, { archiveFile(First), archiveFile(Middle), archiveFile(First.addDays(2)) });
    library::Library fetched(folder.path());
    QCOMPARE(exportOf(fetched, folder.filePath(u"export"_s)),
        exportOf(imported, direct.filePath(u"export"_s)));
}

void TestFetch::heldDays_data()
{
    QTest::addColumn<QByteArray>("heldMiddle"); ///< the middle day's stored bytes, if any
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<int>("result"); ///< of the middle day; -1: not asked
    QTest::addColumn<int>("held");
    const QByteArray whole = memberOf(archiveFile(Middle));
    QTest::newRow("a complete held day is not asked for") << whole << false << -1 << 1;
    QTest::newRow("a held day with a 'not yet' section is asked again")
        << withNotYetNote(whole) << false << int(Result::Replaced) << 0;
    QTest::newRow("--refresh asks a complete day again")
        << whole << true << int(Result::Unchanged) << 0;
    QTest::newRow("nothing held: all asked") << QByteArray() << false << int(Result::Added) << 0;
}

void TestFetch::heldDays()
{
    QFETCH(QByteArray, heldMiddle);
    QFETCH(bool, refresh);
    QFETCH(int, result);
    QFETCH(int, held);
    ArchiveServer server(Archives, Archives);
    QVERIFY(server.start());
    QTemporaryDir folder;
    if (!heldMiddle.isEmpty()) {
        library::Library lib(folder.path());
        QVERIFY(lib.importDay(u"K200102.TXT"_s, heldMiddle).stored());
    }
    FetchOptions options = optionsFor(server, resultDays());
    options.refresh = refresh;

    const FetchReport report = runFetch(folder.path(), options);

    QCOMPARE(report.held, held);
    QCOMPARE(requestsFor(server, server.pathOf('K', Middle)), result < 0 ? 0 : 1);
    QCOMPARE(report.lines.size(), result < 0 ? 2 : 3);
    for (const FetchLine &line : report.lines) {
        if (line.slot.date == Middle)
            QCOMPARE(int(line.result), result);
    }
    QCOMPARE(wholeDays(folder.path()), (QList<QDate> { First, Middle, First.addDays(2) }));

    // A second fetch of the same period asks for nothing.
    server.clearRequests();
    const FetchReport again = runFetch(folder.path(), optionsFor(server, resultDays()));
    QCOMPARE(server.requests().size(), 0);
    QCOMPARE(again.held, 3);
}

void TestFetch::intervalIsKept()
{
    ArchiveServer server(Archives, Archives);
    QVERIFY(server.start());
    server.script(server.pathOf('K', Middle), { { Answer::Kind::Status, 500, {} } });
    QTemporaryDir folder;
    FetchOptions options = optionsFor(server, slotsOf(First, First.addDays(2), true, true));
    options.intervalSeconds = 0.3;
    options.retryWaitMs = 0; // the retry waits the interval all the same

    runFetch(folder.path(), options);

    const QList<Request> requests = server.requests();
    QCOMPARE(requests.size(), 7);
    for (qsizetype i = 1; i < requests.size(); ++i)
        QVERIFY2(requests[i].atMs - requests[i - 1].atMs >= 299,
            qPrintable(
                u"%1 ms between requests %2 and %3"_s.arg(requests[i].atMs - requests[i - 1].atMs)
                    .arg(i - 1)
                    .arg(i)));
    static const QRegularExpression agent(u"^tst_fetch/[0-9]+\\.[0-9]+\\.[0-9]+$"_s);
    for (const Request &request : requests)
        QVERIFY2(agent.match(QString::fromLatin1(request.userAgent)).hasMatch(),
            request.userAgent.constData());
}

// rusena-library fetch killed (SIGKILL) at random points while slow answers come in: the
// library opens and holds whole days only; a later fetch completes it.
void TestFetch::killedFetchLeavesWholeDays()
{
    ArchiveServer server(Archives, Archives);
    QVERIFY(server.start());
    server.scriptAll({ Answer::Kind::Slow, 200, {}, 4 });
    QTemporaryDir folder;
    const QStringList arguments { u"--data-folder"_s, folder.path(), u"fetch"_s, u"--from"_s,
        u"2020-01-01"_s, u"--to"_s, u"2020-01-03"_s, u"--results-only"_s, u"--source"_s,
        server.source(), u"--interval"_s, u"0"_s, u"--refresh"_s };
    QRandomGenerator random(20200101);
    int killedWith = 0;
    for (int run = 0; run < 20; ++run) {
        QProcess child;
        child.start(QStringLiteral(RUSENA_LIBRARY_EXE), arguments);
        QVERIFY(child.waitForStarted());
        QTest::qWait(int(random.bounded(20, 400)));
        if (child.state() == QProcess::Running) {
            ++killedWith;
            child.kill();
        }
        child.waitForFinished();
        library::Library lib(folder.path());
        QVERIFY(lib.open().ok());
        const QList<QDate> files = library::DayFiles(folder.path()).dates();
        QCOMPARE(wholeDays(folder.path()), files);
        // A day's file goes in place before its rows: the index never names a day
        // without its file.
        for (const library::StoredDay &day : lib.storedDays())
            QVERIFY(files.contains(day.date));
    }
    QVERIFY2(killedWith >= 10, "too few runs were killed while fetching");
    server.scriptAll({ Answer::Kind::Slow, 200, {}, 0 });
    QProcess child;
    child.start(QStringLiteral(RUSENA_LIBRARY_EXE), arguments.mid(0, arguments.size() - 1));
    QVERIFY(child.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(child.state(), QProcess::NotRunning, 30000);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(wholeDays(folder.path()), (QList<QDate> { First, Middle, First.addDays(2) }));
    library::Library lib(folder.path());
    QCOMPARE(lib.storedDays().size(), 3);
}

QTEST_GUILESS_MAIN(TestFetch)
#include "tst_fetch.moc"
