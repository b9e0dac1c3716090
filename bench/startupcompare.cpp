// startupcompare RUNS TIME_RATIO RSS_EXTRA_MB -- FLOOR [ARGS] -- PROGRAM [ARGS]
//
// Starts the floor program and the measured program alternately RUNS times each (after
// two warm-up runs), so that a busy machine slows both alike, and prints the median wall
// time and the median peak resident memory of each against the targets.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
    double ms;
    double rssMb;
};

Sample runOnce(std::vector<char *> &argv)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(argv[0], argv.data());
        std::perror(argv[0]);
        std::_Exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not exit cleanly (status %d)\n", argv[0], status);
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 7 || std::string(argv[4]) != "--") {
        std::fprintf(stderr, "usage: %s RUNS TIME_RATIO RSS_EXTRA_MB -- FLOOR... -- PROGRAM...\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const double timeTarget = std::atof(argv[2]);
    const double rssTarget = std::atof(argv[3]);
    std::vector<char *> floorArgs, programArgs;
    int i = 5;
    for (; i < argc && std::string(argv[i]) != "--"; ++i)
        floorArgs.push_back(argv[i]);
    for (++i; i < argc; ++i)
        programArgs.push_back(argv[i]);
    floorArgs.push_back(nullptr);
    programArgs.push_back(nullptr);
    if (floorArgs.size() < 2 || programArgs.size() < 2)
        return 2;

    for (int w = 0; w < 2; ++w) {
        runOnce(floorArgs);
        runOnce(programArgs);
    }
    std::vector<double> floorMs, floorRss, programMs, programRss;
    for (int r = 0; r < runs; ++r) {
        const Sample f = runOnce(floorArgs);
        const Sample p = runOnce(programArgs);
        floorMs.push_back(f.ms);
        floorRss.push_back(f.rssMb);
        programMs.push_back(p.ms);
        programRss.push_back(p.rssMb);
    }
    const double fMs = median(floorMs), pMs = median(programMs);
    const double fRss = median(floorRss), pRss = median(programRss);
    std::printf("Start-up, median of %d runs each (offscreen, to the first paint)\n", runs);
    std::printf("  %-12s %8.1f ms   peak RSS %6.1f MB\n", "bare window", fMs, fRss);
    std::printf("  %-12s %8.1f ms   peak RSS %6.1f MB\n", "rusena", pMs, pRss);
    std::printf("  time ratio   %5.2f x   (target <= %.2f)  %s\n", pMs / fMs, timeTarget,
                pMs / fMs <= timeTarget ? "met" : "MISSED");
    std::printf("  extra RSS   %+6.1f MB  (target <= %.0f MB)   %s\n", pRss - fRss, rssTarget,
                pRss - fRss <= rssTarget ? "met" : "MISSED");
    return 0;
}
