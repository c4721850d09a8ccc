// Writes the races of bench_replay_race into a folder, to run them through qpane-replay by hand
// (under a profiler, with strace, ...).
#include <cstdio>

#include "race_scenarios.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_race_scenarios FOLDER\n");
        return 2;
    }
    for (const auto& path : qpane::bench::writeRaceScenarios(argv[1]))
        std::printf("%s\n", path.c_str());
    return 0;
}
