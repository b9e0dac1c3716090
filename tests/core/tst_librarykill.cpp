// A process killed at any moment of a batch import leaves a library that opens, passes
// its integrity check and holds every day whole or not at all, with its raw file present
// for every indexed day. The child is rusena-library itself, killed (SIGKILL) at random
// points of a large batch, many times over one data folder; every other run brings other
// bytes for the same dates, so that replacements are cut short too.

#include "filebytes.h"

#include "library/dayparser.h"
#include "library/library.h"
#include "library/schema.h"
#include "library/storedpayouts.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace rusena::library;
using namespace Qt::StringLiterals;

namespace {

constexpr int Days = 20;
constexpr int Runs = 30;
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

private:
    void writeSources(const QString &folder, int variant);
    void verify(const QString &dataFolder, int &daysSeen);
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
    QVERIFY(library.open().ok());
}

void TestLibraryKill::killedImportsLeaveWholeDays()
{
    QTemporaryDir root;
    const QString data = root.filePath(u"data"_s);
    const QString sources = root.filePath(u"in"_s);
    const auto run = [&](int killAfterMs) {
        QProcess child;
        child.start(
            QStringLiteral(RUSENA_LIBRARY_EXE), { u"--data-folder"_s, data, u"import"_s, sources });
        if (!child.waitForStarted())
            return false;
        if (killAfterMs >= 0 && !child.waitForFinished(killAfterMs))
            child.kill();
        child.waitForFinished(60000);
        return true;
    };

    // One whole run tells how long a batch takes here.
    writeSources(sources, 0);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(run(-1));
    const int wholeMs = int(timer.elapsed());
    QDir(data).removeRecursively();

    int kills = 0, daysSeen = 0;
    for (int i = 0; i < Runs; ++i) {
        writeSources(sources, i % 2);
        const int at = int(QRandomGenerator::global()->bounded(wholeMs + 1));
        QVERIFY(run(at));
        ++kills;
        verify(data, daysSeen);
        if (QTest::currentTestFailed()) {
            qWarning("failed after the kill at %d ms of run %d", at, i);
            return;
        }
    }
    qInfo("%d runs killed at random points of a %d ms batch of %d days; %d indexed days checked "
          "whole",
        kills, wholeMs, Days, daysSeen);
}

QTEST_GUILESS_MAIN(TestLibraryKill)
#include "tst_librarykill.moc"
