// The library windows' queries on a real library: a player's history (query and table
// model, no painting), the statistics of every venue, the payouts of a day, each against
// its target; then the time to open each window with its chart, painted once, reported.
// Usage: librarywindowsbench LIBRARY.sqlite [--grab DIR]; with --grab, the three windows are
// saved as PNG in DIR instead (the busiest player, the busiest day, the whole library).

#include "app/historywindow.h"
#include "app/payoutwindow.h"
#include "app/statswindow.h"
#include "library/historyquery.h"
#include "library/payoutquery.h"
#include "library/statsquery.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
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

void report(const char *what, Timing t, double target)
{
    std::printf("%-46s wall %8.2f ms  cpu %8.2f ms", what, t.wallMs, t.cpuMs);
    if (target > 0)
        std::printf("  target <= %4.0f ms  %s", target, t.cpuMs <= target ? "met" : "MISSED");
    std::printf("\n");
}

QString scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toString() : QString();
}

int grabWindows(const QSqlDatabase &db, const QString &reg, const QDate &day, const QString &dir)
{
    HistoryWindow history;
    history.setDatabase(db);
    history.lookUp(reg);
    history.show();
    PayoutWindow payouts;
    payouts.setDatabase(db);
    payouts.showDay(day);
    payouts.show();
    StatsWindow stats;
    stats.setDatabase(db);
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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: librarywindowsbench LIBRARY.sqlite\n");
        return 2;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(QString::fromLocal8Bit(argv[1]));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        return 1;

    // The busiest player, and the day with the most races.
    const QString reg = scalar(
        db, QStringLiteral("SELECT reg FROM entries GROUP BY reg ORDER BY COUNT(*) DESC LIMIT 1"));
    const QDate day = QDate::fromString(
        scalar(db,
            QStringLiteral("SELECT date FROM races GROUP BY date ORDER BY COUNT(*) DESC LIMIT 1")),
        Qt::ISODate);
    if (argc >= 4 && QByteArray(argv[2]) == "--grab")
        return grabWindows(db, reg, day, QString::fromLocal8Bit(argv[3]));
    const QString span = scalar(db,
        QStringLiteral(
            "SELECT MIN(date) || ' .. ' || MAX(date) || ', ' || COUNT(*) || ' days' FROM days"));
    std::printf("Library %s: %s; player %s (%s races), day %s\n\n", argv[1], qPrintable(span),
        qPrintable(reg),
        qPrintable(
            scalar(db, QStringLiteral("SELECT COUNT(*) FROM entries WHERE reg = '%1'").arg(reg))),
        qPrintable(day.toString(Qt::ISODate)));

    std::unique_ptr<CellTableModel> history(newHistoryModel());
    report("History of a player, whole library (median)",
        medianMs(51, [&] { fillHistoryModel(*history, *library::queryHistory(db, reg).value); }),
        5);
    report("Players by part of a name (長), whole library",
        medianMs(11, [&] { library::findPlayers(db, QStringLiteral("長")); }), 0);
    // The command walks every start; the window keeps the figures of single days.
    report("Statistics of all venues, whole library, walked",
        medianMs(11,
            [&] {
                std::unique_ptr<CellTableModel> model(newStatsModel());
                fillStatsModel(*model, library::queryStats(db, {}).value->courses);
            }),
        50);
    library::StatsCache cache;
    report("  the same from the window's figures of days",
        medianMs(21,
            [&] {
                std::unique_ptr<CellTableModel> model(newStatsModel());
                fillStatsModel(*model, library::queryStats(db, {}, &cache).value->courses);
            }),
        50);
    std::unique_ptr<CellTableModel> payouts(newPayoutModel());
    report("Payouts of a day",
        medianMs(51,
            [&] {
                fillPayoutModel(*payouts, *library::queryPayouts(db, { day, day, 0 }).value);
            }),
        5);

    std::printf("\nOpening each window with its chart, shown and painted once (median of 11):\n");
    report("  選手成績",
        medianMs(11,
            [&] {
                HistoryWindow w;
                w.setDatabase(db);
                w.lookUp(reg);
                w.show();
                w.grab();
            }),
        0);
    report("  払戻金一覧 (one day)",
        medianMs(11,
            [&] {
                PayoutWindow w;
                w.setDatabase(db);
                w.showDay(day);
                w.show();
                w.grab();
            }),
        0);
    report("  統計 (all venues, whole library)",
        medianMs(11,
            [&] {
                StatsWindow w;
                w.setDatabase(db);
                w.refresh();
                w.show();
                w.grab();
            }),
        0);
    return 0;
}
