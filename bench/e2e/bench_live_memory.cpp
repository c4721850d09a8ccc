// The real qpane, offscreen, taking timing data as fast as its port gives it: how much of what
// it receives it keeps. CROSS-1 in buffered mode, separate board port; the benchmark plays the
// timing device on the simulator's link and reads the board away.
//
// BM_ConsoleKeepsOfWhatItReceives/0: valid pass lines ("\x02C1...\x03@"), far more than the
//   display shows, so that a backlog of passes builds up in the store.
// BM_ConsoleKeepsOfWhatItReceives/1: bytes that never end a line (a device gone wrong) after
//   the code of a line that is queued: the line in the making is kept, since it would be the
//   next queue line; the logs keep little.
// BM_ConsoleKeepsOfWhatItReceives/2: the same after a code that no queue takes: only what the
//   logs keep.
//
// Counters, over a minute of input that follows 20 s of the same input (the memos fill up to
// their bounds, the store's cache to its size): rss_KiB_per_s, the growth of the anonymous
// resident set per second; kept_per_received_byte, that growth over the bytes the console took
// meanwhile; received_KiB_per_s. QPANE_BENCH_STREAM_SECONDS and QPANE_BENCH_WARMUP_SECONDS change
// the minute and the 20 s; QPANE_BENCH_CONSOLE runs another qpane (an older build, to compare).
#include <benchmark/benchmark.h>
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "live_console.h"
#include "pty_link.h"
#include "temp_folder.h"

namespace qpane::e2e {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The anonymous part of the resident set: what the console allocated and touched. The pages
// of its program and libraries, which the system takes back and reads in again as it likes,
// are left out.
double anonymousResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    double kib = 0;
    while (status >> key) {
        if (key == "RssAnon:") {
            status >> kib;
            return kib;
        }
        status.ignore(1 << 10, '\n');
    }
    return kib;
}

enum class Input { Lines, EndlessQueuedLine, EndlessLoggedLine };

// A burst of 40 pass lines as the device gives them when polled, or as many bytes that end
// no line.
std::string burst(Input input, int& n) {
    std::string s;
    for (int i = 0; i < 40; ++i, ++n) {
        char line[64];
        std::snprintf(line, sizeof line,
                      "\x02"
                      "C1%d%03d%02d:%02d:%02d.%02d\x03@",
                      1 + n % 2, 1 + n % 200, n / 360000 % 24, n / 6000 % 60, n / 100 % 60,
                      n % 100);
        s += line;
    }
    if (input != Input::Lines) {
        for (char& c : s)
            if (c == '\x03' || c == '@' || c == '\x02') c = '9';
        // The first bytes of the run: the line's start and its code.
        if (n == 40)
            s.replace(0, 3,
                      input == Input::EndlessQueuedLine ? "\x02"
                                                          "C1"
                                                        : "\x02"
                                                          "CA");
    }
    return s;
}

int secondsFrom(const char* name, int fallback) {
    const char* env = std::getenv(name);
    return env ? std::max(0, std::atoi(env)) : fallback;
}

// Plays the device for the given time, reading the polls and the board away; the bytes that
// the console took.
size_t stream(sim::PtyLink& device, sim::PtyLink& board, Input input, int& n,
              std::chrono::seconds duration) {
    const auto end = Clock::now() + duration;
    size_t bytes = 0;
    while (Clock::now() < end) {
        const std::string chunk = burst(input, n);
        if (device.write(chunk, 100)) bytes += chunk.size();
        device.read();
        board.read();
    }
    return bytes;
}

void BM_ConsoleKeepsOfWhatItReceives(benchmark::State& state) {
    const auto input = static_cast<Input>(state.range(0));
    const int seconds = secondsFrom("QPANE_BENCH_STREAM_SECONDS", 60);
    const int warmup = secondsFrom("QPANE_BENCH_WARMUP_SECONDS", 20);
    Programs programs;
    if (const char* console = std::getenv("QPANE_BENCH_CONSOLE")) programs.qpane = console;
    TempFolder root("qpane-bench-memory");
    writeSettings(root.path(), {{"Portno", "1"},
                                {"Portno2", "2"},
                                {"Pinout", "1"},
                                {"BitRateOut", "2"},
                                {"Disppt", "11"},
                                {"Gmode", "B"},
                                {"WTime", "1"}});
    sim::PtyLink device(root.path(), 1);
    sim::PtyLink board(root.path(), 2);
    auto console = startConsole(programs, root.path(), {"CuteButton3"}, false);
    if (!waitUntil([&] { return device.portOpen() && board.portOpen(); }, 60s)) {
        state.SkipWithError("the console did not open its ports");
        return;
    }
    // "実行" and the first refreshes settle; the operator library stops looking.
    const auto settle = Clock::now() + 12s;
    while (Clock::now() < settle) {
        device.read();
        board.read();
        std::this_thread::sleep_for(20ms);
    }

    double growth = 0, received = 0;
    int n = 0;
    stream(device, board, input, n, std::chrono::seconds(warmup));
    for (auto _ : state) {
        const double before = anonymousResidentKiB(console->pid());
        const auto begin = Clock::now();
        const size_t bytes = stream(device, board, input, n, std::chrono::seconds(seconds));
        const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
        growth = anonymousResidentKiB(console->pid()) - before;
        received = static_cast<double>(bytes);
        state.SetIterationTime(wall);
        state.counters["rss_KiB_per_s"] = growth / wall;
        state.counters["received_KiB_per_s"] = received / 1024 / wall;
    }
    state.counters["kept_per_received_byte"] = received > 0 ? growth * 1024 / received : 0;
    console->signal(SIGTERM);
}
BENCHMARK(BM_ConsoleKeepsOfWhatItReceives)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace qpane::e2e
