// The core's speed against its floor, in one run so that the ratios hold on a busy
// machine: loading a day against merely reading and decoding the file, showing every
// race of the largest real day, and the favourite search over a full generated day.
// A summary with every ratio against its target follows Google Benchmark's table.

#include "daygenerator.h"

#include "session/session.h"
#include "store/linestore.h"
#include "store/nametables.h"
#include "store/venuelist.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <iconv.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace rusena;

namespace {

constexpr int Repetitions = 5;
constexpr double LoadTarget = 1.5; // x the floor
constexpr double SelectionTarget = 20; // microseconds, median per selection
constexpr double SearchTarget = 500; // microseconds
constexpr int FavouriteNumber = 4321;
const QString LargestDay = QStringLiteral("k200105.txt");

QStringList realFiles()
{
    return QDir(QStringLiteral(RUSENA_TEST_DATA))
        .entryList({ QStringLiteral("k*.txt") }, QDir::Files, QDir::Name);
}

QString realPath(const QString &name)
{
    return QStringLiteral(RUSENA_TEST_DATA "/") + name;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The least any loader must do: one iconv pass over the whole file into a QString.
QString floorDecode(const QByteArray &bytes)
{
    static iconv_t cd = iconv_open("UTF-16LE", "CP932");
    QString out(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char *dst = reinterpret_cast<char *>(out.data());
    size_t dstLeft = static_cast<size_t>(out.size()) * 2;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.truncate(out.size() - static_cast<qsizetype>(dstLeft / 2));
    return out;
}

void floorBench(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        QString text = floorDecode(readFile(path));
        benchmark::DoNotOptimize(text);
    }
}

void loadBench(benchmark::State &state, const QString &path)
{
    LineStore store;
    NameTables tables;
    for (auto _ : state) {
        fillNameTables(tables);
        store.loadBytes(readFile(path));
        QStringList venues;
        fillVenueList(store, tables, venues);
        benchmark::DoNotOptimize(venues);
    }
}

// A data folder in a temporary directory holding the given day and settings.
struct Scratch final {
    QTemporaryDir dir;
    DataFolder folder = DataFolder::below(dir.path());

    Scratch(const QByteArray &day, int favourite)
    {
        folder.ensureData();
        QFile racek(folder.racekPath());
        if (racek.open(QIODevice::WriteOnly))
            racek.write(day);
        QFile player(folder.playerPath());
        if (player.open(QIODevice::WriteOnly)) {
            const char record[4]
                = { static_cast<char>(favourite & 0xFF), static_cast<char>(favourite >> 8), 1, 0 };
            player.write(record, 4);
        }
    }
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void showEveryRaceBench(benchmark::State &state)
{
    Scratch scratch(readFile(realPath(LargestDay)), FavouriteNumber);
    Session session(scratch.folder);
    session.startUp();
    const int venues = static_cast<int>(session.screen().cmbItems.size());

    std::vector<double> micros;
    int shown = 0;
    for (auto _ : state) {
        for (int venue = 0; venue < venues; ++venue) {
            session.selectVenue(venue);
            for (int race = 1; race <= 12; ++race) {
                const auto start = std::chrono::steady_clock::now();
                shown += session.selectRace(race).ok();
                micros.push_back(std::chrono::duration<double, std::micro>(
                    std::chrono::steady_clock::now() - start)
                                     .count());
            }
        }
    }
    state.counters["selections"] = venues * 12;
    state.counters["shown"] = benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
    state.counters["median_us"] = median(micros);
}

void searchBench(benchmark::State &state)
{
    Scratch scratch(
        daygenerator::fullDay(LineStore::MaxResultLines, FavouriteNumber), FavouriteNumber);
    Session session(scratch.folder);
    session.startUp();
    if (!session.searchFavourite().ok())
        state.SkipWithError("the favourite is not found in the generated day");
    for (auto _ : state) {
        const Outcome found = session.searchFavourite();
        benchmark::DoNotOptimize(found);
    }
    state.counters["lines"] = session.store().count();
}

// Keeps the median of every benchmark's repetitions for the summary.
class SummaryReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            const double seconds
                = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            m_micros[run.run_name.function_name] = seconds * 1e6;
            for (const auto &[name, counter] : run.counters)
                m_counters[run.run_name.function_name + "/" + name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double micros(const std::string &name) const
    {
        const auto it = m_micros.find(name);
        return it == m_micros.end() ? 0 : it->second;
    }
    double counter(const std::string &name) const
    {
        const auto it = m_counters.find(name);
        return it == m_counters.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> m_micros;
    std::map<std::string, double> m_counters;
};

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void printSummary(const SummaryReporter &r)
{
    std::printf("\nSummary (medians of %d repetitions)\n", Repetitions);
    std::printf("  %-44s %10s %10s %10s  %s\n", "", "floor", "measured", "ratio", "target");
    for (const QString &file : realFiles()) {
        const std::string name = file.toStdString();
        const double floor = r.micros("Floor/" + name);
        const double load = r.micros("Load/" + name);
        const double ratio = floor > 0 ? load / floor : 0;
        std::printf("  %-44s %8.0fus %8.0fus %9.2fx  <= %.1fx %s\n", ("Load " + name).c_str(),
            floor, load, ratio, LoadTarget, verdict(ratio <= LoadTarget));
    }
    const std::string show = "ShowEveryRace/" + LargestDay.toStdString();
    const double perSelectionMedian = r.counter(show + "/median_us");
    const double selections = r.counter(show + "/selections");
    std::printf("  %-44s %10s %8.1fus %10s  <= %.0fus %s\n",
        ("Show a race, median of " + std::to_string(int(selections)) + " selections").c_str(), "",
        perSelectionMedian, "", SelectionTarget, verdict(perSelectionMedian <= SelectionTarget));
    std::printf("  %-44s %10s %8.1fus %10s\n", "Show a race, mean over the whole day", "",
        selections > 0 ? r.micros(show) / selections : 0.0, "");
    const double search = r.micros("FavouriteSearch/8500-line day");
    std::printf("  %-44s %10s %8.1fus %10s  <= %.0fus %s\n", "Favourite search, 8500-line day", "",
        search, "", SearchTarget, verdict(search <= SearchTarget));
}

} // namespace

int main(int argc, char **argv)
{
    // glibc serves blocks above a moving threshold with fresh mmap()ed pages, so whether a
    // 0.5 MB decode buffer costs a hundred page faults per iteration depends on what was
    // freed before. Keeping every block on the heap makes floor and load pay alike.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    benchmark::Initialize(&argc, argv);
    for (const QString &file : realFiles()) {
        const QString path = realPath(file);
        benchmark::RegisterBenchmark(("Floor/" + file.toStdString()).c_str(), floorBench, path)
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(Repetitions);
        benchmark::RegisterBenchmark(("Load/" + file.toStdString()).c_str(), loadBench, path)
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(Repetitions);
    }
    benchmark::RegisterBenchmark(
        ("ShowEveryRace/" + LargestDay.toStdString()).c_str(), showEveryRaceBench)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(Repetitions);
    benchmark::RegisterBenchmark("FavouriteSearch/8500-line day", searchBench)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(Repetitions);

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
