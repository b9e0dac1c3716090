// Filing days into the library: what each kind of source ends as (added, replaced,
// unchanged, skipped and why), hostile archives, the export and a rebuild's round trip,
// and the library's failures (corrupt or truncated index, a day file gone, a read-only
// folder, a full disk, another program holding the lock).

#include "filebytes.h"
#include "filesizelimit.h"
#include "libraryfixture.h"
#include "lzhbuilder.h"
#include "readonlyfolder.h"

#include "library/archivereader.h"
#include "library/exporter.h"
#include "library/historyquery.h"
#include "library/importbatch.h"
#include "library/library.h"
#include "library/schema.h"
#include "library/sourcequeue.h"
#include "library/statsquery.h"
#include "session/session.h"

#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace rusena;
using namespace rusena::library;
using namespace Qt::StringLiterals;

using Sources = QList<std::pair<QString, QByteArray>>;
Q_DECLARE_METATYPE(Sources)

namespace {

const QByteArray Unreadable = QByteArrayLiteral("<unreadable>");
// A source with these bytes is made a FIFO instead of a file.
const QByteArray Fifo = QByteArrayLiteral("<fifo>");

QByteArray testBytes(const char *name)
{
    return readBytes(QStringLiteral(RUSENA_TEST_DATA "/") + QString::fromLatin1(name), Unreadable);
}

QString lineText(const ImportLine &line)
{
    static const QStringList words { u"added"_s, u"replaced"_s, u"unchanged"_s, u"failed"_s,
        u"ignored"_s };
    QString text = words[int(line.outcome.result)];
    if (line.outcome.stored() && line.outcome.kind == DayKind::Programme)
        text += u" programme"_s;
    if (line.outcome.stored())
        text += u' ' + line.outcome.date.toString(Qt::ISODate);
    return text;
}

// Every file below `root`, relative to it.
QStringList filesBelow(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out.append(QDir(root).relativeFilePath(it.next()));
    out.sort();
    return out;
}

QStringList storedDates(Library &library)
{
    QStringList out;
    for (const StoredDay &day : library.storedDays())
        out.append(day.date.toString(Qt::ISODate) + u' ' + day.file);
    return out;
}

// Where there are no FIFOs, nothing: the import then finds no file.
void makeFifo(const QString &path)
{
#ifdef Q_OS_UNIX
    ::mkfifo(QFile::encodeName(path).constData(), 0600);
#else
    Q_UNUSED(path);
#endif
}

// A folder with the library below it and a folder of sources beside it.
struct Scratch {
    QTemporaryDir root;
    QString data = root.filePath(u"data"_s);
    QString sources = root.filePath(u"in"_s);

    QStringList write(const Sources &files) const
    {
        QDir().mkpath(sources);
        QStringList paths;
        for (const auto &[name, bytes] : files) {
            paths.append(sources + u'/' + name);
            if (bytes == Fifo)
                makeFifo(paths.last());
            else
                writeBytes(paths.last(), bytes);
        }
        return paths;
    }
};

qint64 countRows(Library &library, const QString &table)
{
    QSqlQuery query(library.database());
    if (!query.exec(u"SELECT count(*) FROM "_s + table) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

// The day summaries, their monthly roll-ups and the players as text, in key order.
QStringList summaryRows(Library &library)
{
    QStringList out;
    QSqlQuery query(library.database());
    for (const QString &table : { u"course_stats"_s, u"technique_counts"_s, u"course_months"_s,
             u"technique_months"_s, u"course_years"_s, u"technique_years"_s, u"players"_s }) {
        if (!query.exec(u"SELECT * FROM "_s + table + u" ORDER BY 1, 2, 3"_s))
            return { query.lastError().text() };
        while (query.next()) {
            QStringList fields;
            for (int i = 0; i < query.record().count(); ++i)
                fields.append(query.value(i).toString());
            out.append(table + u' ' + fields.join(u','));
        }
    }
    return out;
}

} // namespace

class TestLibraryImport final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void outcomes_data();
    void outcomes();
    void exportAndRebuildAgree();
    void rollUpsFollowTheDays_data();
    void rollUpsFollowTheDays();
    void queryIndexesStay_data();
    void queryIndexesStay();
    void failures_data();
    void failures();
    void busyLibraryIsReported();
    void leftLockIsTakenOver_data();
    void leftLockIsTakenOver();
    void firstUseFilesTheDayOnShow();
    void dayFileAndIndexAgree_data();
    void dayFileAndIndexAgree();
    void openChecks_data();
    void openChecks();
    void rebuildStops_data();
    void rebuildStops();
    void readOnlyFolder_data();
    void readOnlyFolder();
    void oddIndexFileIsRefused_data();
    void oddIndexFileIsRefused();
    void entryRows_data();
    void entryRows();
    void sourcesComeInOrder_data();
    void sourcesComeInOrder();
};

void TestLibraryImport::outcomes_data()
{
    QTest::addColumn<Sources>("before"); // imported first
    QTest::addColumn<Sources>("sources");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("reason"); // part of the first failure's reason

    const QByteArray day15 = testBytes("k200815.txt");
    const QByteArray day14 = testBytes("k200814.txt");
    const QByteArray realLzh = testBytes("k200414.lzh");
    const QByteArray programme = testBytes("B200414.TXT");
    const QString none;
    // Day 15's bytes with another date in every header.
    const auto dated
        = [&](const char *date) { return QByteArray(day15).replace("2020/ 8/15", date); };

    QTest::newRow("text file") << Sources {} << Sources { { u"K200815.TXT"_s, day15 } }
                               << QStringList { u"added 2020-08-15"_s } << none;
    QTest::newRow("same bytes again")
        << Sources { { u"K200815.TXT"_s, day15 } } << Sources { { u"k200815.txt"_s, day15 } }
        << QStringList { u"unchanged 2020-08-15"_s } << none;
    QTest::newRow("other bytes replace the day")
        << Sources { { u"K200815.TXT"_s, day15 } } << Sources { { u"K200815.TXT"_s, day14 } }
        << QStringList { u"replaced 2020-08-15"_s } << none;
    QTest::newRow("date from the header") << Sources {} << Sources { { u"Kday.TXT"_s, day15 } }
                                          << QStringList { u"added 2020-08-15"_s } << none;
    QTest::newRow("year before 2000 beside the same day of 2020")
        << Sources { { u"K200105.TXT"_s, testBytes("k200105.txt") } }
        << Sources { { u"Kold.TXT"_s, dated("1920/ 1/ 5") } }
        << QStringList { u"added 1920-01-05"_s } << none;
    QTest::newRow("last day of the calendar")
        << Sources {} << Sources { { u"Kfar.TXT"_s, dated("9999/12/31") } }
        << QStringList { u"added 9999-12-31"_s } << none;
    QTest::newRow("header date that is no real date")
        << Sources {} << Sources { { u"Kbad.TXT"_s, dated("2020/ 2/30") } }
        << QStringList { u"failed"_s } << u"2020/ 2/30"_s;
    QTest::newRow("name ending in a blank")
        << Sources {} << Sources { { u"K200815.TXT "_s, day15 } }
        << QStringList { u"added 2020-08-15"_s } << none;
    QTest::newRow("no venue section") << Sources {} << Sources { { u"K200101.TXT"_s, "hello\r\n" } }
                                      << QStringList { u"failed"_s } << u"区切り"_s;
    QTest::newRow("no date anywhere")
        << Sources {} << Sources { { u"Kday.TXT"_s, "23KBGN\r\n\r\n\r\n23KEND\r\n" } }
        << QStringList { u"failed"_s } << u"日付"_s;
    QTest::newRow("name not beginning with K, a result by its text")
        << Sources {} << Sources { { u"x200815.txt"_s, day15 } }
        << QStringList { u"added 2020-08-15"_s } << none;
    QTest::newRow("named neither way, neither kind by its text")
        << Sources {} << Sources { { u"notes.txt"_s, "hello\r\n" } } << QStringList { u"failed"_s }
        << u"成績でも番組表でもありません"_s;
    QTest::newRow("programme text file")
        << Sources {} << Sources { { u"B200414.TXT"_s, programme } }
        << QStringList { u"added programme 2020-04-14"_s } << none;
    QTest::newRow("programme named neither way, date from its date line")
        << Sources {} << Sources { { u"bangumi.txt"_s, programme } }
        << QStringList { u"added programme 2020-04-14"_s } << none;
    QTest::newRow("programme beside the result of its date")
        << Sources { { u"k200414.lzh"_s, realLzh } } << Sources { { u"b200414.txt"_s, programme } }
        << QStringList { u"added programme 2020-04-14"_s } << none;
    QTest::newRow("same programme again")
        << Sources { { u"B200414.TXT"_s, programme } }
        << Sources { { u"b200414.txt"_s, programme } }
        << QStringList { u"unchanged programme 2020-04-14"_s } << none;
    QTest::newRow("real programme archive")
        << Sources {} << Sources { { u"b200105.lzh"_s, testBytes("b200105.lzh") } }
        << QStringList { u"added programme 2020-01-05"_s } << none;
    QTest::newRow("archive holding a result and a programme")
        << Sources {}
        << Sources { { u"mixed.lzh"_s,
               lzhArchive({ { "B200414.TXT", programme }, { "K200815.TXT", day15 } }) } }
        << QStringList { u"added programme 2020-04-14"_s, u"added 2020-08-15"_s } << none;
    QTest::newRow("text file over the limit")
        << Sources {} << Sources { { u"K200815.TXT"_s, day15 + QByteArray(MaxDayBytes, ' ') } }
        << QStringList { u"failed"_s } << u"大きすぎ"_s;
    QTest::newRow("real LZH archive") << Sources {} << Sources { { u"k200414.lzh"_s, realLzh } }
                                      << QStringList { u"added 2020-04-14"_s } << none;
    QTest::newRow("archive with two days and a read-me")
        << Sources {}
        << Sources { { u"k2008.lzh"_s,
               lzhArchive({ { "K200814.TXT", day14 }, { "readme.txt", "hi" },
                   { "K200815.TXT", day15 } }) } }
        << QStringList { u"added 2020-08-14"_s, u"added 2020-08-15"_s, u"ignored"_s } << none;
    QTest::newRow("member name climbing out of the folder")
        << Sources {} << Sources { { u"k.lzh"_s, lzhArchive({ { "../../K200815.TXT", day15 } }) } }
        << QStringList { u"added 2020-08-15"_s } << none;
    QTest::newRow("member claiming 200 MB")
        << Sources {}
        << Sources { { u"k.lzh"_s, lzhArchive({ { "K200815.TXT", day15, 200LL * 1024 * 1024 } }) } }
        << QStringList { u"failed"_s } << u"大きすぎ"_s;
    QTest::newRow("empty archive") << Sources {} << Sources { { u"k.lzh"_s, QByteArray() } }
                                   << QStringList { u"failed"_s } << none;
    QTest::newRow("truncated archive")
        << Sources {} << Sources { { u"k.lzh"_s, realLzh.left(realLzh.size() / 2) } }
        << QStringList { u"failed"_s } << u"壊れて"_s;
    QTest::newRow("damaged member data") << Sources {}
                                         << Sources { { u"k.lzh"_s,
                                                lzhArchive({ { "K200815.TXT", day15 } })
                                                    .replace(QByteArrayLiteral("KBGN"), "XXXX") } }
                                         << QStringList { u"failed"_s } << u"壊れて"_s;
    QTest::newRow("archive without a K member")
        << Sources {} << Sources { { u"k.lzh"_s, lzhArchive({ { "readme.txt", "hi" } }) } }
        << QStringList { u"failed"_s } << u"K で始まる"_s;
    const QByteArray notice = "\x82\xa8\x92\x6d\x82\xe7\x82\xb9.txt"; // お知らせ.txt
    const Sources noticeBesideADay { { u"k200815.lzh"_s,
        lzhArchive({ { "K200815.TXT", day15 }, { notice, "hi" } }) } };
    QTest::newRow("Shift-JIS read-me beside a day")
        << Sources {} << noticeBesideADay << QStringList { u"added 2020-08-15"_s, u"ignored"_s }
        << none;
    QTest::newRow("Shift-JIS read-me beside a day, C locale")
        << Sources {} << noticeBesideADay << QStringList { u"added 2020-08-15"_s, u"ignored"_s }
        << none;
    const QByteArray padding(9 * 1024 * 1024, ' ');
    QTest::newRow("days of an archive over the limit together")
        << Sources {}
        << Sources { { u"k2008.lzh"_s,
               lzhArchive(
                   { { "K200814.TXT", day14 + padding }, { "K200815.TXT", day15 + padding } }) } }
        << QStringList { u"failed"_s } << u"大きすぎ"_s;
    QTest::newRow("FIFO named as an archive")
        << Sources {} << Sources { { u"k200815.lzh"_s, Fifo } } << QStringList { u"failed"_s }
        << u"読めません"_s;
    QTest::newRow("member names that drive a terminal")
        << Sources {}
        << Sources { { u"k.lzh"_s,
               lzhArchive({ { "K200815.TXT\x1b]0;owned\x07", day15 },
                   { "readme\r\nK200101.TXT: added 2020-01-01", "hi" } }) } }
        << QStringList { u"added 2020-08-15"_s, u"ignored"_s } << none;
    QTest::newRow("random bytes") << Sources {}
                                  << Sources { { u"k.lzh"_s, QByteArray(5000, '\x5a') } }
                                  << QStringList { u"failed"_s } << none;
}

void TestLibraryImport::outcomes()
{
    QFETCH(Sources, before);
    QFETCH(Sources, sources);
    QFETCH(QStringList, lines);
    QFETCH(QString, reason);

    Scratch scratch;
    Library library(scratch.data);
    importSources(library, scratch.write(before));
    const QStringList storedBefore = storedDates(library);
    const QStringList outside = filesBelow(scratch.root.path());

    // Rows named "..., C locale" run as under cron, where the C library knows no characters
    // beyond ASCII.
    const QByteArray locale = std::setlocale(LC_ALL, nullptr);
    if (QByteArrayView(QTest::currentDataTag()).endsWith(", C locale"))
        std::setlocale(LC_ALL, "C");
    const BatchReport report = importSources(library, scratch.write(sources));
    std::setlocale(LC_ALL, locale.constData());
    QStringList got;
    for (const ImportLine &line : report.lines)
        got.append(lineText(line));
    QCOMPARE(got, lines);
    for (const ImportLine &line : report.lines) {
        // A report line shows no control character, whatever a name holds.
        for (const QString &text : { line.source, line.member, line.outcome.reason }) {
            QVERIFY2(std::none_of(text.cbegin(), text.cend(),
                         [](QChar c) { return c.category() == QChar::Other_Control; }),
                text.toUtf8().toPercentEncoding().constData());
        }
        if (line.outcome.result == DayImport::Result::Failed) {
            QVERIFY2(line.outcome.reason.contains(reason), qPrintable(line.outcome.reason));
            // A refused source changes nothing already stored.
            QCOMPARE(storedDates(library), storedBefore);
        } else if (line.outcome.stored()) {
            const QByteArray raw = readBytes(
                library.dayFiles().pathOf(line.outcome.date, line.outcome.kind), Unreadable);
            QVERIFY(!raw.isEmpty());
        }
    }
    // Nothing is ever written outside the data folder (the sources aside).
    QStringList written = filesBelow(scratch.root.path());
    for (const QString &file : filesBelow(scratch.root.path())) {
        if (file.startsWith(u"data/"_s) || outside.contains(file) || file.startsWith(u"in/"_s))
            written.removeOne(file);
    }
    QCOMPARE(written, QStringList());
    QVERIFY(!QFile::exists(QDir(scratch.root.path()).filePath(u"../K200815.TXT"_s)));
    // The raw files alone give back every day, under its date and name.
    const QStringList stored = storedDates(library);
    QVERIFY(library.rebuild().ok());
    QCOMPARE(storedDates(library), stored);
}

void TestLibraryImport::exportAndRebuildAgree()
{
    Scratch scratch;
    Library library(scratch.data);
    QStringList paths;
    for (const char *name :
        { "k200105.txt", "k200814.txt", "k200815.txt", "k200907.txt", "k201230.txt" })
        paths.append(QStringLiteral(RUSENA_TEST_DATA "/") + QString::fromLatin1(name));
    const QStringList programmes { QStringLiteral(RUSENA_TEST_DATA "/b200105.lzh"),
        QStringLiteral(RUSENA_TEST_DATA "/B200414.TXT") };
    const BatchReport report = importSources(library, paths + programmes);
    QCOMPARE(report.count(DayImport::Result::Added, DayKind::Result), 5);
    QCOMPARE(report.count(DayImport::Result::Added, DayKind::Programme), 2);
    // The summaries the writer made agree with the same sums worked out in SQL.
    const QStringList written = summaryRows(library);
    QVERIFY(written.size() > 200);
    QSqlDatabase db = library.database();
    libraryfixture::exec(db, u"DELETE FROM course_stats"_s);
    libraryfixture::exec(db, u"DELETE FROM technique_counts"_s);
    libraryfixture::summariseRaces(db, 0, std::numeric_limits<qint64>::max());
    libraryfixture::rollUp(db);
    QCOMPARE(summaryRows(library), written);
    // Every payout the parser read is exported.
    int parsedPayouts = 0;
    for (const QString &path : paths) {
        for (const ParsedRace &race : parseDayBytes(readBytes(path, Unreadable)).races)
            parsedPayouts += int(race.payouts.size());
    }

    const QString first = scratch.root.filePath(u"export1"_s);
    QVERIFY(exportLibrary(library, first).ok());
    // Rows counted independently on the decoded files; every file opens with the BOM,
    // its header and CR LF.
    // Programme rows counted on the files: 20 and 8 venues of 12 races, six boats each.
    const QList<std::pair<const char *, int>> files { { "days.csv", 5 }, { "races.csv", 820 },
        { "entries.csv", 4920 }, { "payouts.csv", parsedPayouts }, { "programme_days.csv", 2 },
        { "programmes.csv", 240 + 96 }, { "programme_entries.csv", 1440 + 576 } };
    for (const auto &[name, rows] : files) {
        const QByteArray bytes = readBytes(first + u'/' + QString::fromLatin1(name), Unreadable);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        QCOMPARE(int(bytes.count("\r\n")) - 1, rows);
    }
    const QByteArray days = readBytes(first + u"/days.csv"_s, Unreadable);
    QVERIFY(days.contains("\r\n2020-01-05,k200105.txt,20,240\r\n"));
    QVERIFY(days.contains("\r\n2020-09-07,k200907.txt,12,36\r\n"));
    const QByteArray races = readBytes(first + u"/races.csv"_s, Unreadable);
    QVERIFY(races.contains(
        u"\r\n2020-08-15,23,唐津,1,一　　般,0,1800,晴,南,4,4,逃げ,0\r\n"_s.toUtf8()));
    const QByteArray payouts = readBytes(first + u"/payouts.csv"_s, Unreadable);
    QVERIFY(payouts.contains(u"\r\n2020-08-15,23,1,複勝,3,190,,\r\n"_s.toUtf8()));
    QVERIFY(payouts.contains(u"\r\n2020-08-15,23,1,拡連複,3-4,490,8,\r\n"_s.toUtf8()));
    const QByteArray programmeDays = readBytes(first + u"/programme_days.csv"_s, Unreadable);
    QVERIFY(programmeDays.endsWith(
        "\r\n2020-01-05,B200105.TXT,20,240\r\n2020-04-14,B200414.TXT,8,96\r\n"));
    const QByteArray programmeRaces = readBytes(first + u"/programmes.csv"_s, Unreadable);
    QVERIFY(programmeRaces.contains(u"\r\n2020-01-05,24,大村,1,特別ヴィーナスシリーズ第２戦"
                                    u"　マンスリー杯,1,予　選,0,1800,15:19\r\n"_s.toUtf8()));
    const QByteArray entrants = readBytes(first + u"/programme_entries.csv"_s, Unreadable);
    QVERIFY(entrants.contains(u"\r\n2020-01-05,24,1,1,3871,池田紫乃,44,長崎,45,B1,5.82,43.82,"
                              u"4.79,32.26,20,32.68,13,28.46,,7\r\n"_s.toUtf8()));

    QVERIFY(library.rebuild().ok());
    const QString second = scratch.root.filePath(u"export2"_s);
    QVERIFY(exportLibrary(library, second).ok());
    // While a writer holds the library, one connection writes every file.
    Library writer(scratch.data);
    QVERIFY(writer.beginWriting().ok());
    const QString third = scratch.root.filePath(u"export3"_s);
    QVERIFY(exportLibrary(library, third).ok());
    writer.endWriting();
    for (const QString &again : { second, third }) {
        for (const auto &[name, rows] : files) {
            const QString file = QString::fromLatin1(name);
            QVERIFY2(readBytes(first + u'/' + file, Unreadable)
                    == readBytes(again + u'/' + file, Unreadable),
                name);
        }
    }
}

void TestLibraryImport::rollUpsFollowTheDays_data()
{
    // Steps: "FILE" imports a test file; "NAME=FILE" files FILE's bytes under NAME's date;
    // "rebuild" makes the index anew; "group" and "commit" put the steps between them in
    // one commit, as a batch does.
    QTest::addColumn<QStringList>("steps");
    const QStringList five { u"k200105.txt"_s, u"k200814.txt"_s, u"k200815.txt"_s, u"k200907.txt"_s,
        u"k201230.txt"_s };
    QTest::newRow("five days") << five;
    QTest::newRow("five days, newest first") << QStringList { five.crbegin(), five.crend() };
    QTest::newRow("a day replaced by another's rows")
        << five + QStringList { u"K200814.TXT=k200907.txt"_s };
    QTest::newRow("first and last days of players replaced")
        << five + QStringList { u"K200105.TXT=k200907.txt"_s, u"K201230.TXT=k200907.txt"_s };
    QTest::newRow("replaced, then back as it was")
        << five + QStringList { u"K200815.TXT=k200105.txt"_s, u"K200815.TXT=k200815.txt"_s };
    QTest::newRow("rebuild after a replace")
        << five + QStringList { u"K200814.TXT=k200105.txt"_s, u"rebuild"_s };
    QTest::newRow("one group: a day replaced, then back") << QStringList { u"group"_s } + five
            + QStringList { u"K200815.TXT=k200105.txt"_s, u"K200815.TXT=k200815.txt"_s,
                  u"commit"_s };
    QTest::newRow("one group: first and last days of players replaced")
        << QStringList { u"group"_s } + five
            + QStringList { u"K200105.TXT=k200907.txt"_s, u"K201230.TXT=k200907.txt"_s,
                  u"commit"_s };
    QTest::newRow("one group across a year's end")
        << QStringList { u"group"_s, u"k201230.txt"_s, u"K210105.TXT=k200105.txt"_s,
               u"K201231.TXT=k200814.txt"_s, u"K210102.TXT=k200815.txt"_s, u"commit"_s };
}

void TestLibraryImport::rollUpsFollowTheDays()
{
    QFETCH(QStringList, steps);
    Scratch scratch;
    Library library(scratch.data);
    for (const QString &step : steps) {
        if (step == u"rebuild") {
            QVERIFY(library.rebuild().ok());
            continue;
        }
        if (step == u"group") {
            library.beginDays();
            continue;
        }
        if (step == u"commit") {
            QVERIFY(library.commitDays().ok());
            continue;
        }
        const QStringList names = step.split(u'=');
        const DayImport done
            = library.importDay(names.first(), testBytes(qPrintable(names.last())));
        QVERIFY2(done.stored(), qPrintable(step + u' ' + done.reason));
    }
    // What the writer kept, against the same worked out anew from the rows.
    const QStringList kept = summaryRows(library);
    QSqlDatabase db = library.database();
    libraryfixture::rollUp(db);
    QCOMPARE(kept, summaryRows(library));
    QVERIFY(countRows(library, u"players"_s) > 100);

    // The statistics of periods cut anywhere equal the sums of their days' rows.
    for (const auto &[from, to] :
        QList<std::pair<QString, QString>> { { u""_s, u""_s }, { u"2020-01-05"_s, u"2020-08-14"_s },
            { u"2020-01-06"_s, u"2020-09-30"_s }, { u"2020-08-01"_s, u"2020-08-31"_s },
            { u"2020-08-15"_s, u""_s }, { u""_s, u"2020-09-06"_s },
            { u"2020-01-01"_s, u"2020-12-31"_s }, { u"2019-06-15"_s, u"2021-02-10"_s } }) {
        const Period period { QDate::fromString(from, Qt::ISODate),
            QDate::fromString(to, Qt::ISODate), 0 };
        QSqlQuery direct(db);
        QVERIFY(direct.exec(u"SELECT sum(starts), sum(first), sum(sixth), sum(start_sum_cs)"
                            " FROM course_stats WHERE date BETWEEN '%1' AND '%2'"_s.arg(
                                period.fromKey(), period.toKey())));
        QVERIFY(direct.next());
        const auto report = queryStats(db, period);
        QVERIFY(report.ok());
        qint64 starts = 0, first = 0, sixth = 0, sum = 0;
        for (const CourseStats &c : report.value->courses) {
            if (c.venueCode != 0)
                continue;
            starts += c.starts, first += c.first, sixth += c.sixth, sum += c.startSumHundredths;
        }
        QCOMPARE((QList<qint64> { starts, first, sixth, sum }),
            (QList<qint64> { direct.value(0).toLongLong(), direct.value(1).toLongLong(),
                direct.value(2).toLongLong(), direct.value(3).toLongLong() }));
    }

    // Every player's history holds all his rows, in date, venue and race order, whatever
    // order the days came in.
    QSqlQuery players(db);
    QVERIFY(
        players.exec(u"SELECT printf('%04d', reg), sum(entry_rows) FROM players GROUP BY reg"_s));
    while (players.next()) {
        const auto history = queryHistory(db, players.value(0).toString(), {});
        QVERIFY(history.ok());
        QCOMPARE(history.value->size(), players.value(1).toInt());
        const auto key
            = [](const HistoryRow &r) { return std::tuple(r.date, r.venueCode, r.race); };
        QVERIFY(std::is_sorted(history.value->cbegin(), history.value->cend(),
            [&](const HistoryRow &a, const HistoryRow &b) { return key(a) < key(b); }));
    }
}

namespace {

QStringList indexNames(const QString &indexPath)
{
    QStringList names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"indexes"_s);
        db.setDatabaseName(indexPath);
        QSqlQuery q(db);
        if (db.open()
            && q.exec(u"SELECT name FROM sqlite_master WHERE type = 'index'"
                      u" AND name NOT LIKE 'sqlite_%' ORDER BY name"_s)) {
            while (q.next())
                names.append(q.value(0).toString());
        }
    }
    QSqlDatabase::removeDatabase(u"indexes"_s);
    return names;
}

void dropIndex(const QString &indexPath, const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"drop"_s);
        db.setDatabaseName(indexPath);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"DROP INDEX "_s + name));
    }
    QSqlDatabase::removeDatabase(u"drop"_s);
}

} // namespace

// A batch into an empty library makes the query indexes after its rows; whatever the path,
// the library ends with all of them, and opening it makes one that is missing.
void TestLibraryImport::queryIndexesStay_data()
{
    QTest::addColumn<QStringList>("before"); // files imported first, one batch
    QTest::addColumn<QStringList>("batch");
    QTest::addColumn<QString>("dropped"); // dropped behind the library's back, then reopened
    const QStringList two { u"k200814.txt"_s, u"k200815.txt"_s };
    QTest::newRow("batch into an empty library") << QStringList {} << two << QString();
    QTest::newRow("batch into a library with a day")
        << QStringList { u"k200105.txt"_s } << two << QString();
    QTest::newRow("one file alone")
        << QStringList {} << QStringList { u"k200907.txt"_s } << QString();
    QTest::newRow("index left missing by a killed batch")
        << QStringList {} << two << u"entries_by_reg"_s;
    QTest::newRow("index newer than the library") << QStringList {} << two << u"void_races"_s;
}

void TestLibraryImport::queryIndexesStay()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, batch);
    QFETCH(QString, dropped);
    const auto paths = [](const QStringList &names) {
        QStringList out;
        for (const QString &name : names)
            out.append(QStringLiteral(RUSENA_TEST_DATA "/") + name);
        return out;
    };
    Scratch scratch;
    const QStringList all { u"entries_by_reg"_s, u"programme_races_by_day"_s, u"races_by_day"_s,
        u"void_races"_s };
    {
        Library library(scratch.data);
        if (!before.isEmpty())
            importSources(library, paths(before));
        const BatchReport report = importSources(library, paths(batch));
        QCOMPARE(report.count(DayImport::Result::Added), batch.size());
    }
    const QString index = scratch.data + u"/library.sqlite"_s;
    QCOMPARE(indexNames(index), all);
    if (dropped.isEmpty())
        return;
    dropIndex(index, dropped);
    QCOMPARE(indexNames(index).size(), all.size() - 1);
    {
        Library library(scratch.data);
        QVERIFY(library.open().ok());
        QCOMPARE(library.storedDays().size(), batch.size());
    }
    QCOMPARE(indexNames(index), all);
}

void TestLibraryImport::failures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QStringList>("afterRebuild"); // the days a fresh open finds

    const QStringList both { u"2020-08-15 K200815.TXT"_s, u"2020-08-14 K200814.TXT"_s };
    QTest::newRow("index of random bytes") << u"random"_s << both;
    QTest::newRow("index truncated") << u"truncated"_s << both;
    QTest::newRow("index of another version") << u"version"_s << both;
    QTest::newRow("index deleted") << u"deleted index"_s << both;
    QTest::newRow("day file deleted behind its back")
        << u"deleted day"_s << QStringList { both[1] };
    QTest::newRow("read-only data folder") << u"read-only"_s << both;
    QTest::newRow("disk full") << u"disk full"_s << both;
    const QStringList three = QStringList { both } << u"2020-01-05 K200105.TXT"_s;
    QTest::newRow("link planted as the day's temporary file") << u"planted link"_s << three;
    QTest::newRow("export onto a full disk") << u"export disk full"_s << three;
}

void TestLibraryImport::failures()
{
    QFETCH(QString, failure);
    QFETCH(QStringList, afterRebuild);

    Scratch scratch;
    const QStringList paths = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") },
        { u"K200814.TXT"_s, testBytes("k200814.txt") } });
    const QString newDay
        = scratch.write({ { u"K200105.TXT"_s, testBytes("k200105.txt") } }).constFirst();
    {
        Library library(scratch.data);
        QCOMPARE(importSources(library, paths).count(DayImport::Result::Added), 2);
    }
    Library probe(scratch.data);
    const QString index = probe.indexPath();
    if (failure == u"random") {
        QByteArray junk(64 * 1024, '\0');
        for (char &c : junk)
            c = char(QRandomGenerator::global()->generate());
        QVERIFY(writeBytes(index, junk));
    } else if (failure == u"truncated") {
        QVERIFY(QFile::resize(index, QFileInfo(index).size() / 3));
    } else if (failure == u"version") {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"version"_s);
        db.setDatabaseName(index);
        QVERIFY(db.open());
        QSqlQuery(db).exec(u"PRAGMA user_version=%1"_s.arg(SchemaVersion + 1));
        db.close();
        db = {};
        QSqlDatabase::removeDatabase(u"version"_s);
    } else if (failure == u"deleted index") {
        QVERIFY(QFile::remove(index));
    } else if (failure == u"deleted day") {
        // Removed while the viewer holds the library open: the viewer says the day is
        // gone, and what to do.
        Session session(DataFolder { scratch.root.path(), scratch.data });
        QVERIFY(session.library().open().ok());
        QVERIFY(QFile::remove(probe.dayFiles().pathOf(QDate(2020, 8, 15))));
        const Outcome shown = session.showStoredDay(QDate(2020, 8, 15));
        QCOMPARE(shown.code, Code::LibraryFailed);
        QVERIFY(shown.message->text.contains(u"作り直して"_s));
        QCOMPARE(session.library().storedDays().size(), 2); // nothing else lost
        QVERIFY(session.rebuildLibrary().ok());
    } else if (failure == u"read-only") {
        Library library(scratch.data);
        QVERIFY(library.open().ok());
        const ReadOnlyFolder readOnly(scratch.data + u"/days"_s);
        if (!readOnly.ok())
            QSKIP("this file system cannot make a folder read-only for this user");
        const BatchReport report = importSources(library, { newDay });
        QCOMPARE(report.count(DayImport::Result::Failed), 1);
        QVERIFY(report.lines[0].outcome.reason.contains(u"書き込めません"_s));
    } else if (failure == u"disk full") {
        if (!FileSizeLimit::Supported)
            QSKIP("a full disk is made with a file-size limit (setrlimit), which only Unix has");
        Library library(scratch.data);
        QVERIFY(library.open().ok());
        const FileSizeLimit limit(1024);
        QVERIFY(limit.ok());
        const BatchReport report = importSources(library, { newDay });
        QCOMPARE(report.count(DayImport::Result::Failed), 1);
        QVERIFY(!QFile::exists(library.dayFiles().pathOf(QDate(2020, 1, 5))));
    } else if (failure == u"planted link") {
        const QString target = scratch.root.filePath(u"target"_s);
        QVERIFY(writeBytes(target, "someone else's file"));
        const QString day = probe.dayFiles().pathOf(QDate(2020, 1, 5));
        QVERIFY(QFile::link(
            target, day + u".part"_s + QString::number(QCoreApplication::applicationPid())));
        Library library(scratch.data);
        QCOMPARE(importSources(library, { newDay }).count(DayImport::Result::Added), 1);
        QCOMPARE(readBytes(target, Unreadable), QByteArray("someone else's file"));
        QVERIFY(!QFileInfo(day).isSymLink());
    } else if (failure == u"export disk full") {
        if (!FileSizeLimit::Supported)
            QSKIP("a full disk is made with a file-size limit (setrlimit), which only Unix has");
        Library library(scratch.data);
        const QString folder = scratch.root.filePath(u"export"_s);
        QVERIFY(exportLibrary(library, folder).ok());
        const QStringList names = QDir(folder).entryList(QDir::Files);
        QCOMPARE(names.size(), 7); // four of results, three of programmes
        QList<QByteArray> old;
        for (const QString &name : names)
            old.append(readBytes(folder + u'/' + name, Unreadable));
        QCOMPARE(importSources(library, { newDay }).count(DayImport::Result::Added), 1);
        {
            // Room for the new days.csv, not for the new races.csv.
            const FileSizeLimit limit(4096);
            QVERIFY(limit.ok());
            QVERIFY(!exportLibrary(library, folder).ok());
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), names);
        for (qsizetype i = 0; i < names.size(); ++i)
            QVERIFY2(
                readBytes(folder + u'/' + names[i], Unreadable) == old[i], qPrintable(names[i]));
    }

    Library reopened(scratch.data);
    QVERIFY(reopened.open().ok());
    QCOMPARE(storedDates(reopened), afterRebuild);
    QSqlQuery check(reopened.database());
    QVERIFY(check.exec(u"PRAGMA integrity_check"_s) && check.next());
    QCOMPARE(check.value(0).toString(), u"ok"_s);
    const QList<int> races { 0, 180, 384, 624 }; // by the number of days stored
    QCOMPARE(countRows(reopened, u"races"_s), races[afterRebuild.size()]);
}

void TestLibraryImport::busyLibraryIsReported()
{
    Scratch scratch;
    Library library(scratch.data);
    QVERIFY(library.open().ok());
    // Another program in the middle of a write, holding the lock past the busy timeout.
    QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
    other.setDatabaseName(library.indexPath());
    QVERIFY(other.open());
    QVERIFY(QSqlQuery(other).exec(u"BEGIN EXCLUSIVE"_s));
    const QString day
        = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") } }).constFirst();
    const BatchReport report = importSources(library, { day });
    QSqlQuery(other).exec(u"ROLLBACK"_s);
    other.close();
    other = {};
    QSqlDatabase::removeDatabase(u"other"_s);
    QCOMPARE(report.count(DayImport::Result::Failed), 1);
    QVERIFY2(report.lines[0].outcome.reason.contains(u"他のプログラム"_s),
        qPrintable(report.lines[0].outcome.reason));
    // Once the other lets go, the same import goes through.
    QCOMPARE(importSources(library, { day }).count(DayImport::Result::Added), 1);
}

// A lock file left by a process that died holding it does not keep imports out.
void TestLibraryImport::leftLockIsTakenOver_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("empty: killed before writing its id") << QByteArray();
    QTest::newRow("naming a process that has ended")
        << QByteArrayLiteral("2147483646\nrusena-library\n") + QSysInfo::machineHostName().toUtf8()
            + '\n';
}

void TestLibraryImport::leftLockIsTakenOver()
{
    QFETCH(QByteArray, contents);
    Scratch scratch;
    Library library(scratch.data);
    QVERIFY(library.open().ok());
    QFile lock(scratch.data + u"/library.lock"_s);
    QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write(contents) == contents.size());
    QVERIFY(lock.setFileTime(
        QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime));
    lock.close();
    const QString day
        = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") } }).constFirst();
    QCOMPARE(importSources(library, { day }).count(DayImport::Result::Added), 1);
}

void TestLibraryImport::firstUseFilesTheDayOnShow()
{
    Scratch scratch;
    const DataFolder folder { scratch.root.path(), scratch.data };
    QVERIFY(folder.ensureData());
    QVERIFY(writeBytes(folder.racekPath(), testBytes("k200814.txt")));
    Session session(folder);
    session.startUp();
    QVERIFY(!QFile::exists(session.library().indexPath())); // start-up opens no library
    const QString day
        = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") } }).constFirst();
    QVERIFY(session.importResultFile(day, u"K200815.TXT"_s).ok());
    QCOMPARE(storedDates(session.library()),
        (QStringList { u"2020-08-15 K200815.TXT"_s, u"2020-08-14 racek.dat"_s }));
    QCOMPARE(session.dayOnShow(), QDate(2020, 8, 15));
}

namespace {

// Another program in the middle of a write, holding the index's lock until it goes.
class OtherWriter final {
public:
    explicit OtherWriter(const QString &indexPath)
    {
        m_db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
        m_db.setDatabaseName(indexPath);
        m_ok = m_db.open() && QSqlQuery(m_db).exec(u"BEGIN EXCLUSIVE"_s);
    }
    ~OtherWriter()
    {
        QSqlQuery(m_db).exec(u"ROLLBACK"_s);
        m_db.close();
        m_db = {};
        QSqlDatabase::removeDatabase(u"other"_s);
    }
    bool ok() const { return m_ok; }

private:
    QSqlDatabase m_db;
    bool m_ok = false;
};

QString indexedDigest(Library &library, const QDate &date)
{
    QSqlQuery q(library.database());
    q.prepare(u"SELECT bytes_digest FROM days WHERE date = ?"_s);
    q.addBindValue(date.toString(Qt::ISODate));
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

// A process id that no process has any more.
qint64 deadProcessId()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { u"-functions"_s });
    child.waitForFinished();
    return child.processId() ? child.processId() : 0x7ffffff0;
}

} // namespace

// A day's raw file and its index rows change together or not at all, and what the library
// says of a day is decided against the bytes on disk.
void TestLibraryImport::dayFileAndIndexAgree_data()
{
    QTest::addColumn<QString>("change"); // done behind the library's back, or around the import
    QTest::addColumn<int>("result"); // of importing the 14th's bytes for the 15th
    QTest::addColumn<bool>("newBytesStored");
    QTest::newRow("commit refused: the old file comes back")
        << u"locked"_s << int(DayImport::Result::Failed) << false;
    QTest::newRow("batch refused: the old files come back")
        << u"locked batch"_s << int(DayImport::Result::Failed) << false;
    QTest::newRow("day file edited by hand, same bytes imported")
        << u"edited"_s << int(DayImport::Result::Replaced) << false;
    QTest::newRow("day file replaced by a folder")
        << u"folder"_s << int(DayImport::Result::Failed) << false;
}

void TestLibraryImport::dayFileAndIndexAgree()
{
    QFETCH(QString, change);
    QFETCH(int, result);
    QFETCH(bool, newBytesStored);
    Scratch scratch;
    const QByteArray oldBytes = testBytes("k200815.txt");
    const QByteArray newBytes = testBytes("k200814.txt");
    const QDate date(2020, 8, 15);
    Library library(scratch.data);
    const QStringList old = scratch.write(
        { { u"K200815.TXT"_s, oldBytes }, { u"K200105.TXT"_s, testBytes("k200105.txt") } });
    QCOMPARE(importSources(library, old).count(DayImport::Result::Added), 2);
    const QString dayPath = library.dayFiles().pathOf(date);
    QStringList sources = scratch.write({ { u"K200815.TXT"_s, newBytes } });
    BatchReport report;
    if (change.startsWith(u"locked"_s)) {
        if (change == u"locked batch"_s)
            sources += scratch.write({ { u"K200105.TXT"_s, testBytes("k200907.txt") } });
        const OtherWriter other(library.indexPath());
        QVERIFY(other.ok());
        report = importSources(library, sources);
    } else if (change == u"edited"_s) {
        // The index still says the old bytes, which are imported again.
        QVERIFY(writeBytes(dayPath, newBytes));
        report = importSources(library, scratch.write({ { u"K200815.TXT"_s, oldBytes } }));
    } else {
        QVERIFY(QFile::remove(dayPath));
        QVERIFY(QDir().mkpath(dayPath));
        report = importSources(library, sources);
        QVERIFY(report.lines[0].outcome.reason.contains(u"書き込めません"_s));
        const CheckReport check = library.check();
        QVERIFY(check.status.ok());
        QVERIFY2(
            check.findings.join(u'\n').contains(u"K200815.TXT：通常のファイルではありません"_s),
            qPrintable(check.findings.join(u'\n')));
        QCOMPARE(storedDates(library), QStringList { u"2020-01-05 K200105.TXT"_s });
        return;
    }
    QCOMPARE(int(report.lines[0].outcome.result), result);
    QCOMPARE(readBytes(dayPath, Unreadable), newBytesStored ? newBytes : oldBytes);
    QCOMPARE(indexedDigest(library, date), dayDigest(newBytesStored ? newBytes : oldBytes));
    if (change == u"locked batch"_s)
        QCOMPARE(readBytes(library.dayFiles().pathOf(QDate(2020, 1, 5)), Unreadable),
            testBytes("k200105.txt"));
}

// Opening reads a few pages; the whole file and the raw files are read when the files are
// not as an orderly close left them, and on demand.
void TestLibraryImport::openChecks_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("finding"); // what the check on demand says, after the open
    QTest::newRow("bytes overwritten mid-file while closed") << u"overwritten"_s << QString();
    QTest::newRow("writer died between a day file and its rows") << u"died"_s << QString();
    QTest::newRow("day file edited in place, found on demand")
        << u"edited"_s << u"K200815.TXT：索引の記録と中身が違います"_s;
    QTest::newRow("day file put in by hand") << u"added"_s << QString();
    QTest::newRow("programme file edited in place, found on demand")
        << u"programme"_s << u"B200414.TXT：索引の記録と中身が違います"_s;
}

void TestLibraryImport::openChecks()
{
    QFETCH(QString, damage);
    QFETCH(QString, finding);
    Scratch scratch;
    const QStringList paths = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") },
        { u"K200814.TXT"_s, testBytes("k200814.txt") },
        { u"B200414.TXT"_s, testBytes("B200414.TXT") } });
    {
        Library library(scratch.data);
        QCOMPARE(importSources(library, paths).count(DayImport::Result::Added), 3);
    }
    Library probe(scratch.data);
    const QString index = probe.indexPath();
    const QString day15 = probe.dayFiles().pathOf(QDate(2020, 8, 15));
    // File times move in steps of the system's clock tick.
    QTest::qWait(30);
    if (damage == u"overwritten"_s) {
        QFile file(index);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(file.size() / 2));
        QVERIFY(file.write(QByteArray(8192, '\x5a')) == 8192);
    } else if (damage == u"died"_s) {
        // As a killed import leaves it: the new file renamed in, its rows never committed.
        QVERIFY(writeBytes(day15 + u".part"_s, testBytes("k200105.txt")));
        QVERIFY(QFile::remove(day15) && QFile::rename(day15 + u".part"_s, day15));
        QVERIFY(writeBytes(scratch.data + u"/library.stamp"_s,
            "writing " + QByteArray::number(deadProcessId()) + '\n'));
    } else if (damage == u"edited"_s || damage == u"programme"_s) {
        QFile file(damage == u"edited"_s
                ? day15
                : probe.dayFiles().pathOf(QDate(2020, 4, 14), DayKind::Programme));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(100));
        QVERIFY(file.write("X") == 1);
    } else {
        QVERIFY(writeBytes(probe.dayFiles().pathOf(QDate(2020, 9, 7)), testBytes("k200907.txt")));
    }

    Library library(scratch.data);
    QVERIFY(library.open().ok());
    QSqlQuery check(library.database());
    QVERIFY(check.exec(u"PRAGMA integrity_check"_s) && check.next());
    QCOMPARE(check.value(0).toString(), u"ok"_s);
    const CheckReport report = library.check();
    QVERIFY(report.status.ok());
    QCOMPARE(report.findings, finding.isEmpty() ? QStringList() : QStringList { finding });
    // Whatever happened, the index now describes the raw files exactly.
    QVERIFY(library.check().findings.isEmpty());
    for (const QDate &date : library.dayFiles().dates())
        QCOMPARE(indexedDigest(library, date),
            dayDigest(readBytes(library.dayFiles().pathOf(date), Unreadable)));
}

// A rebuild step that fails stops the rebuild, names what failed, and leaves an index
// that says it must be made again.
void TestLibraryImport::rebuildStops_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("named");
    QTest::newRow("day file unreadable") << u"unreadable"_s << u"K200816.TXT"_s;
    QTest::newRow("disk full") << u"disk full"_s << u"作り直せませんでした"_s;
}

void TestLibraryImport::rebuildStops()
{
    QFETCH(QString, failure);
    QFETCH(QString, named);
    Scratch scratch;
    {
        Library library(scratch.data);
        QCOMPARE(importSources(library,
                     scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") },
                         { u"K200814.TXT"_s, testBytes("k200814.txt") } }))
                     .count(DayImport::Result::Added),
            2);
    }
    Library library(scratch.data);
    Status status;
    const QString unreadable = library.dayFiles().pathOf(QDate(2020, 8, 16));
    if (failure == u"unreadable"_s) {
#ifndef Q_OS_LINUX
        QSKIP("an unreadable file is made with /proc/self/mem, which only Linux has");
#endif
        QVERIFY(QFile::link(u"/proc/self/mem"_s, unreadable));
        status = library.rebuild();
    } else {
        if (!FileSizeLimit::Supported)
            QSKIP("a full disk is made with a file-size limit (setrlimit), which only Unix has");
        const FileSizeLimit limit(64 * 1024);
        QVERIFY(limit.ok());
        status = library.rebuild();
    }
    QVERIFY(!status.ok());
    QVERIFY2(status.error.contains(named), qPrintable(status.error));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"version"_s);
        db.setDatabaseName(library.indexPath());
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(u"PRAGMA user_version"_s) && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }
    QSqlDatabase::removeDatabase(u"version"_s);
    // Once the obstacle is gone the next open makes it whole.
    QFile::remove(unreadable);
    Library reopened(scratch.data);
    QVERIFY(reopened.open().ok());
    QCOMPARE(reopened.storedDays().size(), 2);
}

// A data folder that cannot be written is read all the same, never rebuilt or written.
void TestLibraryImport::readOnlyFolder_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("refusal"); // part of the open's error, empty when it opens
    QTest::newRow("current index") << u"current"_s << QString();
    QTest::newRow("index of an older version") << u"older"_s << u"古い形式"_s;
    QTest::newRow("no index") << u"none"_s << u"索引がありません"_s;
}

void TestLibraryImport::readOnlyFolder()
{
    QFETCH(QString, index);
    QFETCH(QString, refusal);
    Scratch scratch;
    const QStringList paths = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") },
        { u"K200814.TXT"_s, testBytes("k200814.txt") },
        { u"B200414.TXT"_s, testBytes("B200414.TXT") } });
    {
        Library library(scratch.data);
        QCOMPARE(importSources(library, paths).count(DayImport::Result::Added), 3);
    }
    const QString indexPath = scratch.data + u"/library.sqlite"_s;
    if (index == u"older"_s) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"version"_s);
            db.setDatabaseName(indexPath);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(u"PRAGMA user_version=%1"_s.arg(SchemaVersion - 1)));
        }
        QSqlDatabase::removeDatabase(u"version"_s);
    } else if (index == u"none"_s) {
        QVERIFY(QFile::remove(indexPath));
    }
    const QStringList before = filesBelow(scratch.data);
    const ReadOnlyFolder readOnly(scratch.data);
    if (!readOnly.ok())
        QSKIP("this file system cannot make a folder read-only for this user");
    Library library(scratch.data);
    const Status opened = library.open();
    if (refusal.isEmpty()) {
        QVERIFY2(opened.ok(), qPrintable(opened.error));
        QVERIFY(library.isReadOnly());
        QCOMPARE(library.storedDays().size(), 2);
        QVERIFY(exportLibrary(library, scratch.root.filePath(u"export"_s)).ok());
    } else {
        QVERIFY(!opened.ok());
        QVERIFY2(opened.error.contains(refusal), qPrintable(opened.error));
        QVERIFY(opened.error.contains(u"書き込みのできる"_s));
    }
    // Writing says why it cannot.
    const DayImport imported = library.importDay(u"K200105.TXT"_s, testBytes("k200105.txt"));
    QCOMPARE(imported.result, DayImport::Result::Failed);
    QVERIFY2(imported.reason.contains(u"読み取り専用"_s), qPrintable(imported.reason));
    QVERIFY(library.rebuild().error.contains(u"読み取り専用"_s));
    QCOMPARE(filesBelow(scratch.data), before);
}

// The index is a regular file of the library's own; a link or a folder there is refused.
void TestLibraryImport::oddIndexFileIsRefused_data()
{
    QTest::addColumn<bool>("link"); // else a folder
    QTest::newRow("link to another program's database") << true;
    QTest::newRow("folder") << false;
}

void TestLibraryImport::oddIndexFileIsRefused()
{
    QFETCH(bool, link);
    Scratch scratch;
    QVERIFY(QDir().mkpath(scratch.data));
    const QString other = scratch.root.filePath(u"other.sqlite"_s);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
        db.setDatabaseName(other);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"CREATE TABLE t (x)"_s));
    }
    QSqlDatabase::removeDatabase(u"other"_s);
    const QByteArray otherBytes = readBytes(other, Unreadable);
    const QString index = scratch.data + u"/library.sqlite"_s;
    QVERIFY(link ? QFile::link(other, index) : QDir().mkpath(index));
    Library library(scratch.data);
    const Status opened = library.open();
    QVERIFY(!opened.ok());
    QVERIFY2(opened.error.contains(u"通常のファイルではありません"_s), qPrintable(opened.error));
    QVERIFY(!library.rebuild().ok());
    const QString day = scratch.write({ { u"K200815.TXT"_s, testBytes("k200815.txt") } })[0];
    QCOMPARE(importSources(library, { day }).count(DayImport::Result::Failed), 1);
    QCOMPARE(readBytes(other, Unreadable), otherBytes);
    QVERIFY(!QFile::exists(other + u"-wal"_s));
}

// Rows of the index hold the file's fields, each in its own column: one row of each kind
// of placing, copied from the file by hand (the first such row of the day).
void TestLibraryImport::entryRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("row"); // placing, boat, reg, name, motor, boat_no,
                                          // exhibition, course, start, race_time
    const auto add = [](const char *name, const char *file, const QString &row) {
        QTest::newRow(name) << QString::fromLatin1(file) << row.split(u'|');
    };
    add("first", "k200105.txt", u"01|1|3871|池　田　　紫　乃|20|13|6.86|1|0.15|1.49.0"_s);
    add("sixth", "k200814.txt", u"06|4|5118|野　田　　なづき|26|84|6.78|6|0.09|1.57.7"_s);
    add("flying start", "k200105.txt", u"F|1|3232|山　川　　美由紀|38|14|6.80|1|F0.02|"_s);
    add("late start", "k200815.txt", u"L1|1|4247|齊　藤　　　　優|47|30|6.72||L .|"_s);
    add("absent", "k200815.txt", u"K1|1|3690|河　合　　三　弘|61|13|K .||K .|"_s);
    add("disqualified", "k200815.txt", u"S1|3|4971|秦　　　　直　也|41|118|6.95|3|0.03|"_s);
    add("not finished", "k200814.txt", u"00|6|4053|芦　澤　　　　望|23|28|6.85|6|0.05|"_s);
}

void TestLibraryImport::entryRows()
{
    QFETCH(QString, file);
    QFETCH(QStringList, row);
    Scratch scratch;
    Library library(scratch.data);
    const DayImport imported = library.importDay(file, testBytes(file.toLatin1().constData()));
    QVERIFY(imported.stored());
    QSqlQuery q(library.database());
    q.prepare(u"SELECT e.placing, e.boat, printf('%04d', e.reg), e.name, e.motor, e.boat_no,"
              u" e.exhibition, ifnull(e.course, ''), e.start, e.race_time, typeof(e.reg)"
              u" FROM entries e JOIN races r ON r.id = e.race_id"
              u" WHERE r.date = ? AND e.reg = ? AND e.placing = ? ORDER BY r.seq LIMIT 1"_s);
    q.addBindValue(imported.date.toString(Qt::ISODate));
    q.addBindValue(row[2].toInt());
    q.addBindValue(row[0]);
    QVERIFY(q.exec() && q.next());
    QStringList got;
    for (int i = 0; i < 10; ++i)
        got.append(q.value(i).toString());
    QCOMPARE(got, row);
    QCOMPARE(q.value(10).toString(), u"integer"_s);
}

void TestLibraryImport::sourcesComeInOrder_data()
{
    QTest::addColumn<int>("taken"); // sources taken before the queue goes
    QTest::newRow("every source") << 7;
    QTest::newRow("abandoned with sources under way") << 2;
}

// The readers share the sources; the writer gets them in the order given, a missing one
// and an archive among them, and a queue dropped half-way stops without waiting for ever.
void TestLibraryImport::sourcesComeInOrder()
{
    QFETCH(int, taken);
    QStringList sources;
    for (const char *name : { "k200105.txt", "k200814.txt", "missing.txt", "k200414.lzh",
             "k200815.txt", "k200907.txt", "k201230.txt" })
        sources.append(QStringLiteral(RUSENA_TEST_DATA "/") + QLatin1StringView(name));
    SourceQueue queue(sources);
    for (int i = 0; i < taken; ++i) {
        std::optional<SourceDays> days = queue.next();
        QVERIFY(days);
        QCOMPARE(days->path, sources[i]);
        QCOMPARE(days->days.size(), sources[i].contains(u"missing") ? 0 : 1);
        queue.recycle(std::move(*days));
    }
    if (taken == sources.size())
        QVERIFY(!queue.next());
}

QTEST_GUILESS_MAIN(TestLibraryImport)
#include "tst_libraryimport.moc"
