// The automatic backup of a full store while results are written: the longest step is the
// longest pause that the race sees (each step is one task of the user-interface thread).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/store_backups.h"
#include "store/database.h"
#include "store/store_backup.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path benchFolder() {
    const char* dir = std::getenv("QPANE_BENCH_DIR");
    return (dir && *dir ? fs::path(dir) : fs::temp_directory_path()) /
           ("qpane-bench-backup-" + std::to_string(::getpid()));
}

// 999 competitors with two runs and a total, and ten passes each in the cross table.
void fillStore(qpane::Database& db) {
    db.run("begin");
    for (int bib = 1; bib <= 999; ++bib) {
        char b[16];
        std::snprintf(b, sizeof b, "%03d", bib);
        db.run(std::string("update timedata set grp='1',time1='00:01:23.45',time2='00:01:24.56',"
                           "totalt='00:02:48.01' where bib='") +
               b + "'");
        for (int lap = 1; lap <= 10; ++lap)
            db.run("insert into crosst (uc,tm1,sumi) values (" + std::to_string(bib) + ",'00:0" +
                   std::to_string(lap % 10) + ":12.3','1')");
    }
    db.run("commit");
}

void BM_BackupOfAFullStoreWhileTheRaceWrites(benchmark::State& state) {
    const fs::path folder = benchFolder();
    fs::remove_all(folder);
    qpane::Database db(folder);
    fillStore(db);
    double longestMs = 0;
    int steps = 0;
    int line = 0;
    for (auto _ : state) {
        qpane::SteppedBackup copy(db.handle(), folder / "backups",
                                  std::chrono::system_clock::now());
        for (bool done = false; !done;) {
            const auto begun = Clock::now();
            done = copy.step(qpane::StoreBackups::kPagesPerStep);
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - begun).count();
            longestMs = std::max(longestMs, ms);
            ++steps;
            // A result line between two steps, as the race writes them.
            char b[16];
            std::snprintf(b, sizeof b, "%03d", line++ % 999 + 1);
            db.run(std::string("update timedata set time2='00:01:30.00' where bib='") + b + "'");
        }
        qpane::pruneBackups(folder / "backups", 1);
    }
    state.counters["longest_step_ms"] = longestMs;
    state.counters["steps_per_copy"] = static_cast<double>(steps) / state.iterations();
    fs::remove_all(folder);
}
BENCHMARK(BM_BackupOfAFullStoreWhileTheRaceWrites)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
