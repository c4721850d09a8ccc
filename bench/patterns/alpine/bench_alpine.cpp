// The cost of one timing line in each alpine pattern, on the upgraded store with a full group,
// on virtual time: the 50 ms pauses between board rows take no real time, so the figures are
// the work itself (statements, rows, sends to the simulated board port, the output log).
// Besides the mean, each run reports the median and the 99th percentile of the single lines,
// in wall time and in the thread's CPU time (which leaves out the time that other processes
// of a busy machine take from it).
// The store lies below QPANE_BENCH_DIR when it is set (a tmpfs there shows the work without
// the disk's flush latency, which every stored time pays once), else in the temporary folder.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/fqpane.h"
#include "platform/message_boxes.h"
#include "platform/virtual/virtual_scheduler.h"
#include "serial/simulated/simulated_port_hub.h"

namespace {

namespace fs = std::filesystem;
using qpane::TFqpane;

class SilentBoxes : public qpane::MessageBoxes {
  public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void message(const std::string&) override {}
    void error(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> errors;
};

constexpr int kFullGroup = 100;

fs::path benchFolder(int patternNo) {
    const char* dir = std::getenv("QPANE_BENCH_DIR");
    return (dir && *dir ? fs::path(dir) : fs::temp_directory_path()) /
           ("qpane-bench-alpine-" + std::to_string(::getpid()) + "-" + std::to_string(patternNo));
}

// An upgraded store whose group 1 of block 1 holds `groupSize` competitors (bibs 1 to
// groupSize), every one with a run-1 time, a run-2 time and a total; the board port COM2 open
// as after 実行 on separate ports.
class Race {
  public:
    explicit Race(int patternNo, int groupSize = kFullGroup)
        : root_(benchFolder(patternNo)), groupSize_(groupSize) {
        fs::remove_all(root_);
        w_ = std::make_unique<TFqpane>(
            qpane::WindowEnvironment{scheduler_, boxes_, hub_, qpane::Paths(root_)});
        w_->tableupdate();
        char group[64];
        std::snprintf(group, sizeof group, "where block='1' and bib<='%03d'", groupSize);
        w_->Db1.run(std::string("update timedata set grp='1' ") + group);
        w_->Db1.run(
            "update timedata set time1='00:01:2'||substr(bib,3,1)||'.'||substr(bib,2,2),"
            "time2='00:01:3'||substr(bib,3,1)||'.'||substr(bib,2,2),"
            "totalt='00:02:5'||substr(bib,3,1)||'.'||substr(bib,2,2) " +
            std::string(group));
        w_->patternNo = patternNo;
        w_->connMode = "D";
        w_->RGinout.SetItemIndex(1);
        w_->CommX2.SetPortNo(2);
        w_->CommX2.Open();
        w_->port2Open = true;
    }
    ~Race() {
        w_.reset();
        fs::remove_all(root_);
    }

    TFqpane& w() { return *w_; }
    bool failed() const { return !boxes_.errors.empty(); }

    // Line i: a run-1 time, or a run-2 time with the total right after it in the same pass
    // when `withTotal`, of a competitor of the full group; the times move with i.
    void queue(int64_t i, bool withTotal) {
        const int bib = 1 + static_cast<int>(i % groupSize_);
        const int cs = static_cast<int>(8000 + (i * 37) % 1000);
        char line[32];
        if (!withTotal) {
            std::snprintf(line, sizeof line, "C11%03d00:%02d:%02d.%02d", bib, cs / 6000,
                          cs / 100 % 60, cs % 100);
            w_->Memo2.addLine(line);
            return;
        }
        std::snprintf(line, sizeof line, "C21%03d00:%02d:%02d.%02d", bib, cs / 6000, cs / 100 % 60,
                      cs % 100);
        w_->Memo2.addLine(line);
        const int total = cs + 8500;
        std::snprintf(line, sizeof line, "CT1%03d00:%02d:%02d.%02d", bib, total / 6000,
                      total / 100 % 60, total % 100);
        w_->Memo2.addLine(line);
    }

  private:
    fs::path root_;
    int groupSize_;
    qpane::VirtualScheduler scheduler_;
    qpane::SimulatedPortHub hub_;
    SilentBoxes boxes_;
    std::unique_ptr<TFqpane> w_;
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void reportPercentiles(benchmark::State& state, const char* prefix, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    state.counters[std::string(prefix) + "median_ms"] = ms[ms.size() / 2];
    state.counters[std::string(prefix) + "p99_ms"] =
        ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

// One processing cycle per iteration, as Timer1 runs it.
void runLines(benchmark::State& state, bool withTotal, int groupSize = kFullGroup) {
    Race race(static_cast<int>(state.range(0)), groupSize);
    std::vector<double> wall, cpu;
    int64_t i = 0;
    for (auto _ : state) {
        race.queue(i++, withTotal);
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuMs();
        race.w().Timer1Timer();
        cpu.push_back(threadCpuMs() - cpuStart);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (race.failed()) state.SkipWithError("the routine reported an error");
    reportPercentiles(state, "", wall);
    reportPercentiles(state, "cpu_", cpu);
}

void BM_RunOneLine(benchmark::State& state) {
    runLines(state, false);
}
void BM_RunTwoAndTotalLines(benchmark::State& state) {
    runLines(state, true);
}

BENCHMARK(BM_RunOneLine)->ArgName("ALPINE")->DenseRange(1, 5)->Unit(benchmark::kMicrosecond);

// A run-1 line of ALPINE-1 with 10, 100 and 999 finishers in the group: the cost of a line
// must not grow with the field (the board shows ten of them).
void BM_Alpine1LineByGroupSize(benchmark::State& state) {
    runLines(state, false, static_cast<int>(state.range(1)));
    state.counters["finishers"] = static_cast<double>(state.range(1));
}
BENCHMARK(BM_Alpine1LineByGroupSize)
    ->ArgNames({"ALPINE", "finishers"})
    ->Args({1, 10})
    ->Args({1, 100})
    ->Args({1, 999})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunTwoAndTotalLines)
    ->ArgName("ALPINE")
    ->DenseRange(1, 5)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
