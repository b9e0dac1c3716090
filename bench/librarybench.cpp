// librarybench LZH_DIR WORK_DIR: the race library against the floor of reading and
// decoding the same files. Unpacks the archives to text once, then, alternating in one
// run so that the ratio holds on a busy machine: the floor (read + decode every day),
// the import of every day into an empty library, the export of that library; and the
// index's size against the raw text. Prints the figures and the verdicts.
// librarybench --floor TEXT_DIR: the floor alone over the day files in TEXT_DIR, median of
// three, as one number of milliseconds (the ten-year import is judged against it).

#include "library/archivereader.h"
#include "library/dayparser.h"
#include "library/exporter.h"
#include "library/importbatch.h"
#include "library/library.h"
#include "store/cp932.h"
#include "store/heap.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

using namespace rusena;
using namespace rusena::library;

namespace {

constexpr int Rounds = 3;

QStringList unpack(const QString &lzhDir, const QString &textDir)
{
    QDir().mkpath(textDir);
    QStringList files;
    const QStringList archives
        = QDir(lzhDir).entryList({ QStringLiteral("*.lzh") }, QDir::Files, QDir::Name);
    for (const QString &name : archives) {
        for (const ArchiveMember &member : readArchive(lzhDir + u'/' + name).members) {
            QFile out(textDir + u'/' + member.name);
            if (out.open(QIODevice::WriteOnly) && out.write(member.bytes) == member.bytes.size())
                files.append(out.fileName());
        }
    }
    return files;
}

double floorMs(const QStringList &files, qint64 &bytes)
{
    QElapsedTimer timer;
    timer.start();
    bytes = 0;
    QString text;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray raw = file.readAll();
        bytes += raw.size();
        decodeCp932(raw, text);
    }
    return timer.nsecsElapsed() / 1e6;
}

// Read, decode and parse, no index: what the import costs before SQLite.
double parseMs(const QStringList &files)
{
    QElapsedTimer timer;
    timer.start();
    qint64 rows = 0;
    for (const QString &path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            rows += parseDayBytes(file.readAll()).races.size();
    }
    return rows > 0 ? timer.nsecsElapsed() / 1e6 : -1;
}

// Into a folder of its own each round, never one just emptied: on ext4 without a journal
// (the development machine's) each file made soon after many were deleted waits while
// the allocator passes over the inodes freed in the last minutes, and the import would
// pay for the last round's clean-up. bench/run.sh removes its scratch folder at the end.
double importMs(const QStringList &files, const QString &dataDir, int &added)
{
    Library library(dataDir);
    QElapsedTimer timer;
    timer.start();
    const BatchReport report = importSources(library, files);
    const double ms = timer.nsecsElapsed() / 1e6;
    added = report.count(DayImport::Result::Added);
    return ms;
}

double exportMs(const QString &dataDir, const QString &outDir)
{
    Library library(dataDir);
    library.open();
    QElapsedTimer timer;
    timer.start();
    const Status status = exportLibrary(library, outDir);
    const double ms = timer.nsecsElapsed() / 1e6;
    return status.ok() ? ms : -1;
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

} // namespace

int main(int argc, char *argv[])
{
    keepFreedHeap(); // as the program does
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--floor") {
        const QDir dir(QString::fromLocal8Bit(argv[2]));
        QStringList files;
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
            files.append(dir.filePath(name));
        qint64 bytes = 0;
        std::vector<double> floors;
        for (int round = 0; round < Rounds; ++round)
            floors.push_back(floorMs(files, bytes));
        std::printf("%.0f\n", median(floors));
        return files.isEmpty() ? 1 : 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: librarybench LZH_DIR WORK_DIR\n");
        return 2;
    }
    const QString lzhDir = QString::fromLocal8Bit(argv[1]);
    const QString work = QString::fromLocal8Bit(argv[2]);
    const QStringList files = unpack(lzhDir, work + QStringLiteral("/text"));
    // The rounds' libraries, new names each run (see importMs()).
    const QString data = work + QStringLiteral("/data-%1-").arg(QCoreApplication::applicationPid());
    if (files.isEmpty()) {
        std::fprintf(stderr, "no day in %s\n", argv[1]);
        return 1;
    }

    std::vector<double> floors, parses, imports, exports;
    qint64 rawBytes = 0;
    int added = 0;
    for (int round = 0; round < Rounds; ++round) {
        floors.push_back(floorMs(files, rawBytes));
        parses.push_back(parseMs(files));
        const QString dataDir = data + QString::number(round);
        imports.push_back(importMs(files, dataDir, added));
        exports.push_back(exportMs(dataDir, work + QStringLiteral("/export")));
    }
    const double days = files.size();
    const double f = median(floors), i = median(imports), e = median(exports);
    const qint64 index
        = QFileInfo(data + QString::number(Rounds - 1) + QStringLiteral("/library.sqlite")).size();
    std::printf("Race library, %d days from %s (median of %d rounds, alternating)\n", int(days),
        argv[1], Rounds);
    std::printf("  floor (read + decode)  %8.1f ms   %6.2f ms a day\n", f, f / days);
    const double p = median(parses);
    std::printf(
        "  parse (no index)       %8.1f ms   %6.2f ms a day   %5.2f x floor\n", p, p / days, p / f);
    std::printf(
        "  import, empty library  %8.1f ms   %6.2f ms a day   %5.2f x floor (target <= 8)  %s\n", i,
        i / days, i / f, verdict(i / f <= 8));
    std::printf(
        "  whole half-year import %8.1f ms   (target <= 1500 ms)  %s\n", i, verdict(i <= 1500));
    std::printf("  export, four CSV files %8.1f ms   (target <= 1000 ms)  %s\n", e,
        verdict(e >= 0 && e <= 1000));
    std::printf("  index %.1f MB, raw text %.1f MB: %.2f x (target <= 1.5)  %s\n",
        index / 1048576.0, rawBytes / 1048576.0, double(index) / rawBytes,
        verdict(double(index) / rawBytes <= 1.5));
    std::printf("  days added in the last round: %d\n", added);
    return 0;
}
