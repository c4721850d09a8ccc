// A six-hour cross-country race on virtual time: thousands of passes through CROSS-1 and the
// pass display. Memory and the cost of a pass must stay flat from the first hour to the last.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "window_harness.h"

namespace {

using qpane::testing::WindowHarness;
using Clock = std::chrono::steady_clock;

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::string passLine(int block, int bib, int64_t hundredths) {
    char line[64];
    const int64_t s = hundredths / 100;
    std::snprintf(line, sizeof line,
                  "\x02"
                  "C1%d%03d%02lld:%02lld:%02lld.%02lld\x03",
                  block, bib, static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                  static_cast<long long>(s % 60), static_cast<long long>(hundredths % 100));
    return line;
}

void runRace(benchmark::State& state, const char* pattern) {
    constexpr int kHours = 6;
    constexpr int kPassEveryMs = 4000;  // the display shows one pass in 3 s
    for (auto _ : state) {
        WindowHarness h({{"Portno", "1"},
                         {"Pinout", "1"},
                         {"Portno2", "2"},
                         {"Disppt", pattern},
                         {"WTime", "1"}},
                        /*recordWrites=*/false);
        for (int block = 1; block <= 2; ++block) {
            h.sql("update timedata set grp='1' where block='" + std::to_string(block) +
                  "' and bib>='001' and bib<='100'");
            h.sql("update timedata set grp='2' where block='" + std::to_string(block) +
                  "' and bib>='101' and bib<='200'");
        }
        h.start();
        h.apply();
        long rss[kHours] = {};
        double usPerPass[kHours] = {};
        int passes = 0;
        for (int hour = 0; hour < kHours; ++hour) {
            const auto begin = Clock::now();
            int inHour = 0;
            for (int64_t t = 0; t < 3600 * 1000; t += kPassEveryMs) {
                const int bib = 1 + passes % 200;
                const int block = 1 + (passes / 200) % 2;
                const int64_t time = (hour * 3600 + t / 1000) * 100 + passes % 97;
                h.rx(1, passLine(block, bib, time));
                h.wait(kPassEveryMs);
                ++passes;
                ++inHour;
            }
            const double us =
                std::chrono::duration<double, std::micro>(Clock::now() - begin).count();
            usPerPass[hour] = us / inHour;
            rss[hour] = residentKiB();
        }
        state.counters["passes"] = passes;
        state.counters["shown_rows"] =
            std::stod(h.sql("select count(*) from crosst where sumi='1'")[0]);
        state.counters["rss_hour1_KiB"] = static_cast<double>(rss[0]);
        state.counters["rss_hour6_KiB"] = static_cast<double>(rss[kHours - 1]);
        state.counters["us_per_pass_hour1"] = usPerPass[0];
        state.counters["us_per_pass_hour6"] = usPerPass[kHours - 1];
    }
}

void BM_SixHourCross1Race(benchmark::State& state) {
    runRace(state, "11");
}
void BM_SixHourCross4Race(benchmark::State& state) {
    runRace(state, "14");
}
BENCHMARK(BM_SixHourCross1Race)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SixHourCross4Race)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
