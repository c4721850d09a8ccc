// The real qpane, offscreen, on the simulator's devices.
//
// BM_TimingLineToBoardRow: from the last byte of a timing line at the timing device to the
// first byte of the board row it brings at the board, less the 500 ms that the processing
// cycle waits after the last byte by design. ALPINE-1, direct, separate board port. The
// benchmark plays both devices itself on the simulator's links, so that both moments are
// taken on one clock.
//
// BM_IdleConsoleCpu: the share of one core that the console uses over a minute after "実行"
// while no line comes (QPANE_BENCH_IDLE_SECONDS shortens the minute). Argument 0: ALPINE-1,
// direct; 1: CROSS-1, buffered, polled every 200 ms and showing no pass (qpane-sim answers
// the polls).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "board_link_waits.h"
#include "live_console.h"
#include "pty_link.h"
#include "race_generator.h"
#include "temp_folder.h"
#include "timing_device.h"

namespace qpane::e2e {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kProcessingCycle = 500ms;

const Settings kAlpineDirect{{"Portno", "1"},     {"Portno2", "2"}, {"Pinout", "1"},
                             {"BitRateOut", "2"}, {"Disppt", "1"},  {"Gmode", "D"}};

void BM_TimingLineToBoardRow(benchmark::State& state) {
    const Programs programs;
    TempFolder root("qpane-bench-latency");
    writeSettings(root.path(), kAlpineDirect);
    sim::PtyLink device(root.path(), 1);
    sim::PtyLink board(root.path(), 2);
    auto console = startConsole(programs, root.path(), {"CuteButton3"}, false);
    if (!waitUntil([&] { return device.portOpen() && board.portOpen(); }, 60s)) {
        state.SkipWithError("the console did not open its ports");
        return;
    }
    std::this_thread::sleep_for(500ms);  // the end of "実行"

    sim::TimingDevice timing(sim::DeviceMode::Direct, sim::RaceKind::Alpine);
    int bib = 1;
    auto send = [&] {
        const std::string line = timing.take(sim::timingLine('1', '0', bib, 8000 + bib * 7));
        ++bib;
        device.write(line);
        return Clock::now();
    };
    // The first finisher of a group also brings two control lines: not a row.
    send();
    drain(board, 1500);

    double worst = 0;
    for (auto _ : state) {
        const auto sent = send();
        const auto came = firstBytes(board, 5s);
        if (!came) {
            state.SkipWithError("no board row within 5 s");
            break;
        }
        const double beyond =
            std::chrono::duration<double>(*came - sent - kProcessingCycle).count();
        worst = std::max(worst, beyond);
        state.SetIterationTime(std::max(beyond, 0.0));
        drain(board, 300);
    }
    state.counters["worst_ms"] = worst * 1000;
    console->signal(SIGTERM);
}
BENCHMARK(BM_TimingLineToBoardRow)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// User and system time of a process, all its threads, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoll(field);
        if (i == 15) stime = std::stoll(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

void BM_IdleConsoleCpu(benchmark::State& state) {
    const bool cross = state.range(0) == 1;
    const char* env = std::getenv("QPANE_BENCH_IDLE_SECONDS");
    const int seconds = env ? std::max(1, std::atoi(env)) : 60;
    const Programs programs;
    TempFolder root("qpane-bench-idle");
    Settings settings = kAlpineDirect;
    std::vector<std::string> simArgs{"--first-delay", "3600000", "--competitors", "1"};
    if (cross) {
        settings = {{"Portno", "1"},     {"Portno2", "2"}, {"Pinout", "1"},
                    {"BitRateOut", "2"}, {"Disppt", "11"}, {"Gmode", "B"}};
        simArgs.insert(simArgs.end(), {"--kind", "cross", "--mode", "buffered"});
    }
    writeSettings(root.path(), settings);
    auto sim = startSimulator(programs, root.path(), simArgs);
    auto console = startConsole(programs, root.path(), {"CuteButton3"}, false);
    if (!waitUntil(
            [&] {
                return readFile(root.path() / "sim.log").find(" up COM2 ") != std::string::npos;
            },
            60s)) {
        state.SkipWithError("the console did not open its ports");
        return;
    }
    // "実行" and the first memo refreshes settle, and the operator library, with no more to
    // do, stops looking at the window.
    std::this_thread::sleep_for(12s);

    double share = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(console->pid());
        const auto before = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double wall = std::chrono::duration<double>(Clock::now() - before).count();
        share = (cpuSeconds(console->pid()) - cpuBefore) / wall;
        state.SetIterationTime(wall);
    }
    state.counters["core_percent"] = share * 100;
    console->signal(SIGTERM);
}
BENCHMARK(BM_IdleConsoleCpu)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace qpane::e2e
