// A process killed at any moment of a batch import, of a rebuild, or of a rebuild started
// beside an import, leaves a library that opens, passes its integrity check and holds
// every day whole or not at all, with its raw file present for every indexed day; once
// opened, the index describes exactly the bytes in days/. The children are rusena-library
// itself, killed (SIGKILL) at random points, many times over one data folder; every other
// run brings other bytes for the same dates, so that replacements are cut short too.
// The seed of the random points is printed; RUSENA_KILL_SEED runs the same points again.

#include "filebytes.h"

#include "library/dayparser.h"
#include "library/library.h"
#include "library/schema.h"
#include "library/storedpayouts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace rusena::library;
using namespace Qt::StringLiterals;

namespace {

constexpr int Days = 20;
constexpr int Runs = 36;
const QByteArray Unreadable = QByteArrayLiteral("<unreadable>");

const QList<QByteArray> &realDays()
{
    static const QList<QByteArray> days = [] {
        QList<QByteArray> out;
        for (const char *name : { "k200105.txt", "k200814.txt", "k200815.txt", "k201230.txt" })
            out.append(readBytes(
                QStringLiteral(RUSENA_TEST_DATA "/") + QString::fromLatin1(name), Unreadable));
        return out;
    }();
    return days;
}

QDate dayDate(int i)
{
    return QDate(2021, 1, 1).addDays(i);
}

// Variant 0 or 1 of day i: other real bytes for the same date.
const QByteArray &dayBytes(int i, int variant)
{
    return realDays()[(i + variant) % realDays().size()];
}

struct Counts {
    qint64 races = 0, entries = 0, payouts = 0;
    bool operator==(const Counts &) const = default;
};

// Only four different days exist; each is parsed once.
Counts parsedCounts(const QByteArray &bytes)
{
    static QHash<QString, Counts> cache;
    if (const auto it = cache.constFind(dayDigest(bytes)); it != cache.constEnd())
        return *it;
    Counts c;
    const ParsedDay day = parseDayBytes(bytes);
    c.races = day.races.size();
    for (const ParsedRace &race : day.races) {
        c.entries += race.entries.size();
        c.payouts += race.payouts.size();
    }
    cache.insert(dayDigest(bytes), c);
    return c;
}

qint64 scalar(QSqlDatabase &db, const QString &sql, const QString &date)
{
    QSqlQuery q(db);
    q.prepare(sql);
    q.addBindValue(date);
    if (!q.exec() || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

// The payouts the day's races keep.
qint64 storedPayoutCount(QSqlDatabase &db, const QString &date)
{
    QSqlQuery q(db);
    q.prepare(u"SELECT payouts FROM races WHERE date = ?"_s);
    q.addBindValue(date);
    if (!q.exec())
        return -1;
    qint64 count = 0;
    while (q.next())
        count += readStoredPayouts(q.value(0).toString()).size();
    return count;
}

} // namespace

class TestLibraryKill final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedImportsLeaveWholeDays();
    void readersBesideAWriter_data();
    void readersBesideAWriter();

private:
    void writeSources(const QString &folder, int variant);
    void verify(const QString &dataFolder, int &daysSeen);
    void verifyAgreement(Library &library);
};

void TestLibraryKill::writeSources(const QString &folder, int variant)
{
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < Days; ++i)
        QVERIFY(writeBytes(folder + u'/' + DayFiles::storedName(dayDate(i)), dayBytes(i, variant)));
}

// Looks at the index as the killed process left it, before anything repairs it.
void TestLibraryKill::verify(const QString &dataFolder, int &daysSeen)
{
    const QString index = dataFolder + u"/library.sqlite"_s;
    if (!QFile::exists(index))
        return;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(index);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(u"PRAGMA integrity_check"_s) && q.next());
        QCOMPARE(q.value(0).toString(), u"ok"_s);
        QVERIFY(q.exec(u"PRAGMA user_version"_s) && q.next());
        // A library cut short while being made says version 0 and is rebuilt, never used.
        if (q.value(0).toInt() == SchemaVersion) {
            QVERIFY(q.exec(u"SELECT date, bytes_digest, races FROM days"_s));
            const DayFiles files(dataFolder);
            while (q.next()) {
                const QDate date = QDate::fromString(q.value(0).toString(), Qt::ISODate);
                const int i = int(dayDate(0).daysTo(date));
                QVERIFY(i >= 0 && i < Days);
                QVERIFY2(QFile::exists(files.pathOf(date)), "an indexed day without its raw file");
                const int variant = dayDigest(dayBytes(i, 0)) == q.value(1).toString() ? 0 : 1;
                QCOMPARE(dayDigest(dayBytes(i, variant)), q.value(1).toString());
                const QString d = date.toString(Qt::ISODate);
                const Counts stored { scalar(db, u"SELECT count(*) FROM races WHERE date = ?"_s, d),
                    scalar(db,
                        u"SELECT count(*) FROM entries e JOIN races r ON r.id = e.race_id WHERE r.date = ?"_s,
                        d),
                    storedPayoutCount(db, d) };
                QVERIFY2(stored == parsedCounts(dayBytes(i, variant)), qPrintable(d));
                QCOMPARE(stored.races, q.value(2).toLongLong());
                ++daysSeen;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    // And the program takes it from there.
    Library library(dataFolder);
    const Status opened = library.open();
    QVERIFY2(opened.ok(), qPrintable(opened.error));
    verifyAgreement(library);
}

// The index describes exactly the raw files: the same days, each with its file's digest.
void TestLibraryKill::verifyAgreement(Library &library)
{
    QHash<QDate, QString> indexed;
    QSqlQuery q(library.database());
    QVERIFY(q.exec(u"SELECT date, bytes_digest FROM days"_s));
    while (q.next())
        indexed.insert(
            QDate::fromString(q.value(0).toString(), Qt::ISODate), q.value(1).toString());
    const QList<QDate> dates = library.dayFiles().dates();
    QCOMPARE(indexed.size(), dates.size());
    for (const QDate &date : dates) {
        const QByteArray bytes = readBytes(library.dayFiles().pathOf(date), Unreadable);
        QVERIFY2(indexed.value(date) == dayDigest(bytes), qPrintable(date.toString(Qt::ISODate)));
    }
}

void TestLibraryKill::killedImportsLeaveWholeDays()
{
    const QByteArray seedText = qgetenv("RUSENA_KILL_SEED");
    const quint32 seed
        = seedText.isEmpty() ? QRandomGenerator::global()->generate() : quint32(seedText.toULong());
    qInfo("seed %u (RUSENA_KILL_SEED=%u repeats this run)", seed, seed);
    QRandomGenerator random(seed);
    QTemporaryDir root;
    const QString data = root.filePath(u"data"_s);
    const QString sources = root.filePath(u"in"_s);
    const auto start = [&](QProcess &child, const QStringList &command) {
        child.start(
            QStringLiteral(RUSENA_LIBRARY_EXE), QStringList { u"--data-folder"_s, data } + command);
        return child.waitForStarted();
    };
    // False when the child still runs a minute on: it hangs.
    const auto finish = [](QProcess &child, int killAfterMs) {
        if (killAfterMs >= 0 && !child.waitForFinished(killAfterMs))
            child.kill();
        return child.state() == QProcess::NotRunning || child.waitForFinished(60000);
    };
    const auto hung = [seed](const QString &what) {
        return u"%1: a child still ran a minute later (seed %2)"_s.arg(what).arg(seed);
    };
    const QStringList import { u"import"_s, sources };
    const QStringList rebuild { u"rebuild"_s };

    // One whole run of each tells how long they take here.
    writeSources(sources, 0);
    QElapsedTimer timer;
    timer.start();
    {
        QProcess child;
        QVERIFY(start(child, import));
        QVERIFY(finish(child, -1));
    }
    const int importMs = int(timer.restart());
    {
        QProcess child;
        QVERIFY(start(child, rebuild));
        QVERIFY(finish(child, -1));
    }
    const int rebuildMs = int(timer.elapsed());
    QDir(data).removeRecursively();

    int kills = 0, daysSeen = 0;
    for (int i = 0; i < Runs; ++i) {
        writeSources(sources, i % 2);
        // Imports first, so that the rebuilds have days to make the index of.
        const int kind = i < Runs / 3 ? 0 : i % 3;
        QString what;
        if (kind < 2) {
            const int at = int(random.bounded((kind == 0 ? importMs : rebuildMs) + 1));
            what = (kind == 0 ? u"import killed at %1 ms"_s : u"rebuild killed at %1 ms"_s).arg(at);
            QProcess child;
            QVERIFY(start(child, kind == 0 ? import : rebuild));
            QVERIFY2(finish(child, at), qPrintable(hung(what)));
            ++kills;
        } else {
            // A rebuild started while an import runs; either may be killed, or neither.
            const int after = int(random.bounded(importMs / 2 + 1));
            const int victim = int(random.bounded(3)); // 0 the import, 1 the rebuild, 2 none
            const int at = int(random.bounded(importMs + rebuildMs + 1));
            what = u"rebuild %1 ms after an import, %2 killed at %3 ms"_s.arg(after)
                       .arg(victim == 0      ? u"the import"_s
                               : victim == 1 ? u"the rebuild"_s
                                             : u"neither"_s)
                       .arg(at);
            QProcess first, second;
            QVERIFY(start(first, import));
            QTest::qSleep(after);
            QVERIFY(start(second, rebuild));
            QVERIFY2(finish(victim == 0 ? first : second, victim == 2 ? -1 : at),
                qPrintable(hung(what)));
            QVERIFY2(finish(victim == 0 ? second : first, -1), qPrintable(hung(what)));
            kills += victim == 2 ? 0 : 1;
        }
        verify(data, daysSeen);
        if (QTest::currentTestFailed()) {
            qWarning("failed after run %d: %s (seed %u)", i, qPrintable(what), seed);
            return;
        }
    }
    qInfo("%d runs, %d kills at random points of a %d ms import of %d days and a %d ms rebuild; "
          "%d indexed days checked whole",
        Runs, kills, importMs, Days, rebuildMs, daysSeen);
}

// Readers started beside the first import into an empty folder, or beside a rebuild,
// never make, remove or rebuild the index themselves: they read it, wait for it, or find
// that there is no library yet.
void TestLibraryKill::readersBesideAWriter_data()
{
    QTest::addColumn<QString>("writer");
    QTest::newRow("lists beside the first import") << u"import"_s;
    QTest::newRow("lists beside a rebuild") << u"rebuild"_s;
}

void TestLibraryKill::readersBesideAWriter()
{
    QFETCH(QString, writer);
    QTemporaryDir root;
    const QString data = root.filePath(u"data"_s);
    const QString sources = root.filePath(u"in"_s);
    writeSources(sources, 0);
    const QStringList import { u"--data-folder"_s, data, u"import"_s, sources };
    if (writer == u"rebuild"_s)
        QCOMPARE(QProcess::execute(QStringLiteral(RUSENA_LIBRARY_EXE), import), 0);
    QProcess first;
    first.start(QStringLiteral(RUSENA_LIBRARY_EXE),
        writer == u"rebuild"_s ? QStringList { u"--data-folder"_s, data, u"rebuild"_s } : import);
    QVERIFY(first.waitForStarted());
    std::vector<std::unique_ptr<QProcess>> readers;
    for (int i = 0; i < 4; ++i) {
        readers.push_back(std::make_unique<QProcess>());
        readers.back()->start(
            QStringLiteral(RUSENA_LIBRARY_EXE), { u"--data-folder"_s, data, u"list"_s });
        QTest::qSleep(20);
    }
    QVERIFY(first.waitForFinished(60000));
    QCOMPARE(first.exitCode(), 0);
    for (const auto &reader : readers) {
        QVERIFY(reader->waitForFinished(60000));
        // One started before the import made anything finds no library, which is true.
        const QString err = QString::fromUtf8(reader->readAllStandardError());
        QVERIFY2(reader->exitCode() == 0 || err.startsWith(u"ライブラリがありません"_s),
            qPrintable(err));
    }
    Library library(data);
    QVERIFY(library.open().ok());
    QCOMPARE(library.storedDays().size(), Days);
    verifyAgreement(library);
}

QTEST_GUILESS_MAIN(TestLibraryKill)
#include "tst_librarykill.moc"
