#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loop_scheduler.h"
#include "pseudo_terminal.h"
#include "serial/commx.h"
#include "serial/posix/posix_comm_device.h"

namespace qpane {
namespace {

using Clock = std::chrono::steady_clock;

// An open port on a pseudo-terminal, its user-interface thread, and the far end.
struct Line {
    TempRoot root;
    PseudoTerminal far{root.path(), 1};
    PosixCommDeviceProvider devices{Paths(root.path())};
    LoopScheduler ui;
    TCommX port{ui, devices};

    Line() {
        ui.run([&] { port.Open(); });
    }
    ~Line() {
        ui.run([&] { port.Close(); });
    }
};

// SendString of a text until the far end has all of it.
void BM_SendStringThroughput(benchmark::State& state) {
    Line line;
    const std::string text(static_cast<size_t>(state.range(0)), 'A');
    for (auto _ : state) {
        line.ui.run([&] { line.port.SendString(text); });
        const std::string got = line.far.receive(text.size());
        if (got.size() != text.size()) state.SkipWithError("bytes missing");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SendStringThroughput)->Arg(32)->Arg(2048)->Arg(64 * 1024)->UseRealTime();

// What SendString of one board row costs its caller: the rows of one output (up to 20)
// handed over one after the other, without waiting for the line.
void BM_SendStringBoardRowsCaller(benchmark::State& state) {
    Line line;
    const std::string row = "A012     1:23.45  :  .  \r";
    constexpr int kRows = 20;
    for (auto _ : state) {
        const auto elapsed = line.ui.run([&] {
            const auto start = Clock::now();
            for (int i = 0; i < kRows; ++i)
                benchmark::DoNotOptimize(line.port.SendString(row));
            return Clock::now() - start;
        });
        if (line.far.receive(row.size() * kRows).size() != row.size() * kRows)
            state.SkipWithError("bytes missing");
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRows);
}
BENCHMARK(BM_SendStringBoardRowsCaller)->UseManualTime();

// From a byte written at the far end to OnReceive running on the user-interface thread.
void BM_ReceiveLatency(benchmark::State& state) {
    Line line;
    // The waiting side sleeps, so that it takes no processor from the port's threads.
    std::mutex mutex;
    std::condition_variable signalled;
    Clock::time_point arrived{};
    bool came = false;
    line.port.OnReceive = [&](TCustomCommX& p, int n) {
        {
            std::lock_guard lock(mutex);
            arrived = Clock::now();
            came = true;
        }
        signalled.notify_one();
        for (int i = 0; i < n; ++i)
            p.ReadByte();
    };
    std::vector<double> samples;
    for (auto _ : state) {
        std::unique_lock lock(mutex);
        came = false;
        const auto sent = Clock::now();
        line.far.send("\x03");
        signalled.wait(lock, [&] { return came; });
        const double seconds = std::chrono::duration<double>(arrived - sent).count();
        samples.push_back(seconds * 1e6);
        state.SetIterationTime(seconds);
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["median_us"] = samples[samples.size() / 2];
        state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    }
}
BENCHMARK(BM_ReceiveLatency)->UseManualTime()->Iterations(2000);

}  // namespace
}  // namespace qpane
