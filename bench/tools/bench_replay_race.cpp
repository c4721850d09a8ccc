// Whole races through qpane-replay, each run a process of its own on a fresh root: the first
// start with its upgrade, every timing line, the board, the pass display, the shut-down. The
// figure is the child's CPU time (user and system), which leaves out the disk's flush latency
// and what other processes take from the machine.
//
// QPANE_BENCH_BASE_REPLAY names a second qpane-replay (for example one built from an earlier
// commit): each race then runs through both, side by side in one run, and a transcript that
// differs between them fails the benchmark.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "race_scenarios.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path scratch() {
    return fs::temp_directory_path() / ("qpane-bench-replay-" + std::to_string(::getpid()));
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs replay on scenario with its transcript going to `transcript`; the child's CPU seconds,
// or a negative number when it could not run or did not exit 0.
double runReplay(const std::string& replay, const fs::path& scenario, const fs::path& transcript) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, transcript.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<std::string> args{replay, scenario.string()};
    std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, replay.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_replay_race(benchmark::State& state, std::string replay, fs::path scenario,
                    std::string other) {
    const fs::path transcript =
        scratch() / (scenario.stem().string() + "-" + std::to_string(state.thread_index()) +
                     (other.empty() ? "-base.out" : ".out"));
    for (auto _ : state) {
        const double cpu = runReplay(replay, scenario, transcript);
        if (cpu < 0) {
            state.SkipWithError("qpane-replay did not run the scenario to its end");
            return;
        }
        state.SetIterationTime(cpu);
    }
    if (other.empty()) return;
    // The same race through the other program must give the same transcript.
    const fs::path otherTranscript = scratch() / (scenario.stem().string() + "-other.out");
    if (runReplay(other, scenario, otherTranscript) < 0 ||
        readFile(otherTranscript) != readFile(transcript))
        state.SkipWithError("the transcripts of the two programs differ");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::vector<fs::path> scenarios = qpane::bench::writeRaceScenarios(scratch());
    const char* base = std::getenv("QPANE_BENCH_BASE_REPLAY");
    const std::string baseReplay = base && *base ? base : "";
    for (const fs::path& scenario : scenarios) {
        const std::string race = scenario.stem().string();
        auto* current = benchmark::RegisterBenchmark(
            ("BM_replay_race/" + race).c_str(), BM_replay_race, QPANE_REPLAY, scenario, baseReplay);
        current->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
        if (baseReplay.empty()) continue;
        benchmark::RegisterBenchmark(("BM_replay_race_base/" + race).c_str(), BM_replay_race,
                                     baseReplay, scenario, std::string())
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3)
            ->Repetitions(5);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(scratch(), ignored);
    return 0;
}
