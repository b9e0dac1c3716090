// programmebench K_LZH_DIR B_LZH_DIR WORK_DIR: programme days against the floor of reading
// and decoding them. Alternating in one run: the floor (read + decode every programme
// day), the import of the programme archives into an empty library, the import of both
// halves (result and programme archives) into an empty library; then, on that library,
// the 出走表 of races with six entrants from the query to the filled table.

#include "app/programmewindow.h"
#include "library/archivereader.h"
#include "library/formquery.h"
#include "library/importbatch.h"
#include "library/library.h"
#include "store/cp932.h"
#include "store/heap.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>

using namespace rusena;
using namespace rusena::library;

namespace {

constexpr int Rounds = 3;

QStringList archivesIn(const QString &dir)
{
    QStringList out;
    for (const QString &name :
        QDir(dir).entryList({ QStringLiteral("*.lzh") }, QDir::Files, QDir::Name))
        out.append(dir + u'/' + name);
    return out;
}

// Read and decode every day of the archives, unpacked beforehand: the floor.
double floorMs(const QList<QByteArray> &days)
{
    QElapsedTimer timer;
    timer.start();
    QString text;
    qint64 chars = 0;
    for (const QByteArray &raw : days) {
        decodeCp932(raw, text);
        chars += text.size();
    }
    return chars > 0 ? timer.nsecsElapsed() / 1e6 : -1;
}

// Into a folder of its own each round, never one just emptied: on ext4 without a journal
// (the development machine's) each file made soon after many were deleted waits while
// the allocator passes over the inodes freed in the last minutes, and the import would
// pay for the last round's clean-up. bench/run.sh removes its scratch folder at the end.
double importMs(const QStringList &sources, const QString &dataDir, int &added)
{
    Library library(dataDir);
    QElapsedTimer timer;
    timer.start();
    const BatchReport report = importSources(library, sources);
    const double ms = timer.nsecsElapsed() / 1e6;
    added = report.count(DayImport::Result::Added);
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

// The 出走表 of the first race of each venue of the last programme day: query, result
// and table, the slowest race's time.
double raceTableMs(Library &library, int &races)
{
    QSqlDatabase db = library.database();
    const QList<QDate> dates = queryProgrammeDates(db).value.value_or(QList<QDate>());
    if (dates.isEmpty())
        return -1;
    const QDate date = dates.first();
    QTableWidget table;
    double worst = 0;
    races = 0;
    const auto venues = queryProgrammeRaces(db, date).value;
    if (!venues)
        return -1;
    for (const auto &[venue, numbers] : *venues) {
        for (const int race : numbers) {
            QElapsedTimer timer;
            timer.start();
            const auto form = queryProgrammeRace(db, date, venue, race);
            const auto outcome = queryRaceOutcome(db, date, venue, race);
            if (!form.ok() || !*form.value || !outcome.ok())
                return -1;
            fillProgrammeTable(table, **form.value, *outcome.value);
            worst = std::max(worst, timer.nsecsElapsed() / 1e6);
            ++races;
        }
    }
    return worst;
}

// The slowest race's 出走表 on the library in `dir`, against `targetMs`.
void reportTable(const QString &dir, const char *indent, double targetMs)
{
    Library library(dir);
    int races = 0;
    const double worst = raceTableMs(library, races);
    std::printf("%s出走表 with six entrants' form, query to table, slowest of %d races: %.1f ms"
                "   (target <= %.0f ms)  %s\n",
        indent, races, worst, targetMs, verdict(worst >= 0 && worst <= targetMs));
}

} // namespace

int main(int argc, char *argv[])
{
    keepFreedHeap(); // as the program does
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--table") {
        // The 出走表 alone on a library that holds programmes already (ten years, say).
        reportTable(QString::fromLocal8Bit(argv[2]), "", 100);
        return 0;
    }
    if (argc < 4) {
        std::fprintf(stderr,
            "usage: programmebench K_LZH_DIR B_LZH_DIR WORK_DIR\n"
            "       programmebench --table LIBRARY_DIR\n");
        return 2;
    }
    const QStringList results = archivesIn(QString::fromLocal8Bit(argv[1]));
    const QStringList programmes = archivesIn(QString::fromLocal8Bit(argv[2]));
    const QString work = QString::fromLocal8Bit(argv[3]);
    QList<QByteArray> days;
    for (const QString &path : programmes) {
        for (ArchiveMember &member : readArchive(path).members)
            days.append(std::move(member.bytes));
    }
    if (days.isEmpty() || results.isEmpty()) {
        std::fprintf(stderr, "no archives\n");
        return 1;
    }
    std::vector<double> floors, imports, boths;
    int added = 0, addedBoth = 0;
    for (int round = 0; round < Rounds; ++round) {
        floors.push_back(floorMs(days));
        // The rounds' libraries, new names each run (see importMs()).
        const QString n
            = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(round);
        imports.push_back(importMs(programmes, work + QStringLiteral("/b-") + n, added));
        boths.push_back(
            importMs(results + programmes, work + QStringLiteral("/kb-") + n, addedBoth));
    }
    const double f = median(floors), i = median(imports), b = median(boths);
    std::printf("Programme days, %d archives (median of %d rounds, alternating)\n",
        int(programmes.size()), Rounds);
    std::printf("  floor (read + decode)      %8.1f ms\n", f);
    std::printf("  import, empty library      %8.1f ms   %5.2f x floor (target <= 8)  %s\n", i,
        i / f, verdict(i / f <= 8));
    std::printf("  K and B, %d archives     %8.1f ms   (target <= 2000 ms)  %s\n",
        int(results.size() + programmes.size()), b, verdict(b <= 2000));
    std::printf("  days added: %d programme, %d both halves\n", added, addedBoth);

    reportTable(
        work + QStringLiteral("/kb-%1-%2").arg(QCoreApplication::applicationPid()).arg(Rounds - 1),
        "  ", 20);
    return 0;
}
