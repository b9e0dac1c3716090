// The library windows' queries on real libraries: a player's history (query and table
// model, no painting), the name search, the statistics of every venue, the payouts of a
// day, and the time to open each window with its chart, painted once; each on every
// library given, side by side with the ratio, against its target.
// Usage: librarywindowsbench LIBRARY.sqlite [LARGER.sqlite ...], or LIBRARY.sqlite --grab
// DIR to save the three windows as PNG in DIR (the busiest player, the busiest day, the
// whole library).

#include "app/historywindow.h"
#include "app/payoutwindow.h"
#include "app/statswindow.h"
#include "library/historyquery.h"
#include "library/library.h"
#include "library/payoutquery.h"
#include "library/statsquery.h"
#include "store/heap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

using namespace rusena;

namespace {

// Wall time, and the processor time of this process, which other builds on a shared
// machine do not inflate; the targets are judged on the latter.
struct Timing final {
    double wallMs = 0;
    double cpuMs = 0;
};

double cpuNow()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Timing medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> wall, cpu;
    work(); // warm the page cache and SQLite's statement paths
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuNow();
        timer.start();
        work();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuNow() - cpuStart);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return { wall[wall.size() / 2], cpu[cpu.size() / 2] };
}

QString scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toString() : QString();
}

int grabWindows(const QSqlDatabase &db, const QString &reg, const QDate &day, const QString &dir)
{
    HistoryWindow history(fixedDatabase(db));
    history.lookUp(reg);
    history.show();
    PayoutWindow payouts(fixedDatabase(db));
    payouts.showDay(day);
    payouts.show();
    StatsWindow stats(fixedDatabase(db));
    stats.refresh();
    stats.show();
    QCoreApplication::processEvents();
    const bool ok = history.grab().save(dir + QStringLiteral("/history.png"))
        && payouts.grab().save(dir + QStringLiteral("/payouts.png"))
        && stats.grab().save(dir + QStringLiteral("/stats.png"));
    std::printf("player %s, day %s: %s\n", qPrintable(reg), qPrintable(day.toString(Qt::ISODate)),
        ok ? "saved" : "FAILED");
    return ok ? 0 : 1;
}

// One figure on every library given, the runs of each alternating so that a busy
// machine slows them alike; the target is judged on the last (the largest) library.
struct Measure final {
    const char *what;
    int runs;
    double target;
    std::function<void(const QSqlDatabase &)> work;
};

void compare(const QList<QSqlDatabase> &dbs, const Measure &m)
{
    std::vector<Timing> t;
    for (const QSqlDatabase &db : dbs)
        t.push_back(medianMs(m.runs, [&] { m.work(db); }));
    std::printf("%-44s", m.what);
    for (const Timing &one : t)
        std::printf("  %8.2f ms (wall %8.2f)", one.cpuMs, one.wallMs);
    if (t.size() > 1 && t.front().cpuMs > 0)
        std::printf("  %6.1f x", t.back().cpuMs / t.front().cpuMs);
    if (m.target > 0)
        std::printf(
            "  target <= %3.0f ms  %s", m.target, t.back().cpuMs <= m.target ? "met" : "MISSED");
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    keepFreedHeap(); // as the program does
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
            "usage: librarywindowsbench LIBRARY.sqlite [LARGER.sqlite ...]\n"
            "       librarywindowsbench LIBRARY.sqlite --grab DIR\n");
        return 2;
    }
    const bool grab = argc >= 4 && QByteArray(argv[2]) == "--grab";
    // Each library opened as the program opens it, its check included (not timed).
    std::vector<std::unique_ptr<library::Library>> libraries;
    QList<QSqlDatabase> dbs;
    for (int i = 1; i < (grab ? 2 : argc); ++i) {
        libraries.push_back(std::make_unique<library::Library>(
            QFileInfo(QString::fromLocal8Bit(argv[i])).absolutePath()));
        const QSqlDatabase db = libraries.back()->database();
        if (!db.isOpen())
            return 1;
        dbs.append(db);
    }
    const QSqlDatabase &first = dbs.first();

    // The busiest player, and the day with the most races, of the first library: the
    // larger ones hold them too.
    const QString reg = scalar(first,
        QStringLiteral("SELECT printf('%04d', reg) FROM players GROUP BY reg"
                       " ORDER BY sum(entry_rows) DESC LIMIT 1"));
    const QDate day = QDate::fromString(
        scalar(first, QStringLiteral("SELECT date FROM days ORDER BY races DESC, date LIMIT 1")),
        Qt::ISODate);
    if (grab)
        return grabWindows(first, reg, day, QString::fromLocal8Bit(argv[3]));
    for (int i = 0; i < dbs.size(); ++i) {
        const QSqlDatabase &db = dbs[i];
        std::printf("Library %d, %s: %s; player %s (%s races)\n", i + 1, argv[i + 1],
            qPrintable(scalar(db,
                QStringLiteral("SELECT MIN(date) || ' .. ' || MAX(date) || ', ' || COUNT(*)"
                               " || ' days' FROM days"))),
            qPrintable(reg),
            qPrintable(scalar(db,
                QStringLiteral("SELECT sum(entry_rows) FROM players WHERE reg = %1").arg(reg))));
    }
    std::printf("Day %s. Processor time of this process, median (wall time beside it); the"
                " ratio is\nthe last library's against the first's.\n\n",
        qPrintable(day.toString(Qt::ISODate)));

    std::unique_ptr<CellTableModel> history(newHistoryModel());
    std::unique_ptr<CellTableModel> payouts(newPayoutModel());
    const QList<Measure> measures {
        { "History of a player (the query)", 21, 10,
            [&](const QSqlDatabase &db) { library::queryHistory(db, reg); } },
        { "History of a player (query and table model)", 21, 0,
            [&](const QSqlDatabase &db) {
                fillHistoryModel(*history, *library::queryHistory(db, reg).value);
            } },
        { "Players by part of a name (長)", 11, 20,
            [](const QSqlDatabase &db) { library::findPlayers(db, QStringLiteral("長")); } },
        { "Statistics of all venues (the stats query)", 11, 50,
            [](const QSqlDatabase &db) {
                std::unique_ptr<CellTableModel> model(newStatsModel());
                fillStatsModel(*model, library::queryStats(db, {}).value->courses);
            } },
        { "Payouts of a day", 21, 5,
            [&](const QSqlDatabase &db) {
                fillPayoutModel(*payouts, *library::queryPayouts(db, { day, day, 0 }).value);
            } },
        { "選手成績 opened with its chart, painted", 7, 150,
            [&](const QSqlDatabase &db) {
                HistoryWindow w(fixedDatabase(db));
                w.lookUp(reg);
                w.show();
                w.grab();
            } },
        { "払戻金一覧 (one day) opened, painted", 7, 150,
            [&](const QSqlDatabase &db) {
                PayoutWindow w(fixedDatabase(db));
                w.showDay(day);
                w.show();
                w.grab();
            } },
        { "統計 (all venues, whole library) opened", 7, 150,
            [](const QSqlDatabase &db) {
                StatsWindow w(fixedDatabase(db));
                w.refresh();
                w.show();
                w.grab();
            } },
    };
    for (const Measure &m : measures)
        compare(dbs, m);
    return 0;
}
