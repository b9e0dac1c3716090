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
    double paintMs; // to the first paint: what the user waits for
    double ms; // to the end of the process, teardown included
    double rssMb;
};

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// The child writes one byte to the descriptor named in RUSENA_FIRST_PAINT_FD once its
// window is painted.
Sample runOnce(std::vector<char *> &argv)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        ::setenv("RUSENA_FIRST_PAINT_FD", std::to_string(pipeFds[1]).c_str(), 1);
        ::execvp(argv[0], argv.data());
        std::perror(argv[0]);
        std::_Exit(127);
    }
    ::close(pipeFds[1]);
    char byte = 0;
    const bool painted = ::read(pipeFds[0], &byte, 1) == 1;
    const auto paint = Clock::now();
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const auto end = Clock::now();
    if (!painted) {
        std::fprintf(stderr, "%s never reported its first paint\n", argv[0]);
        std::exit(1);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not exit cleanly (status %d)\n", argv[0], status);
        std::exit(1);
    }
    return { msBetween(start, paint), msBetween(start, end),
        static_cast<double>(usage.ru_maxrss) / 1024.0 };
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
        std::fprintf(
            stderr, "usage: %s RUNS TIME_RATIO RSS_EXTRA_MB -- FLOOR... -- PROGRAM...\n", argv[0]);
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
    std::vector<double> floorPaint, floorMs, floorRss, programPaint, programMs, programRss;
    for (int r = 0; r < runs; ++r) {
        const Sample f = runOnce(floorArgs);
        const Sample p = runOnce(programArgs);
        floorPaint.push_back(f.paintMs);
        programPaint.push_back(p.paintMs);
        floorMs.push_back(f.ms);
        floorRss.push_back(f.rssMb);
        programMs.push_back(p.ms);
        programRss.push_back(p.rssMb);
    }
    const double fPaint = median(floorPaint), pPaint = median(programPaint);
    const double fMs = median(floorMs), pMs = median(programMs);
    const double fRss = median(floorRss), pRss = median(programRss);
    std::printf("Start-up, median of %d runs each (offscreen)\n", runs);
    std::printf("  %-12s %8s %10s %14s\n", "", "to paint", "to exit", "peak RSS");
    std::printf("  %-12s %5.1f ms %7.1f ms %9.1f MB\n", "bare window", fPaint, fMs, fRss);
    std::printf("  %-12s %5.1f ms %7.1f ms %9.1f MB\n", "rusena", pPaint, pMs, pRss);
    std::printf("  to the first paint: %5.2f x   (target <= %.2f)  %s\n", pPaint / fPaint,
        timeTarget, pPaint / fPaint <= timeTarget ? "met" : "MISSED");
    std::printf("  to the process end: %5.2f x   (teardown included, for reference)\n", pMs / fMs);
    std::printf("  extra RSS   %+6.1f MB  (target <= %.0f MB)   %s\n", pRss - fRss, rssTarget,
        pRss - fRss <= rssTarget ? "met" : "MISSED");
    return 0;
}
