// What the live page costs the window's thread.
//
// BM_BoardRowSnapshot: one board row taken and published (the store unchanged), as after
// each row of a pass. BM_RankingsAfterResult: one result stored and the rankings of every
// block read again (the first row of each pass), with Arg competitors timed in two blocks.
// BM_EventText: the event a follower gets, made once per snapshot for all of them.
#include <benchmark/benchmark.h>

#include <string>

#include "store/database.h"
#include "store/sqlite_calls.h"
#include "upgraded_store.h"
#include "web/snapshot_box.h"
#include "web/snapshot_builder.h"
#include "web/snapshot_json.h"

namespace qpane::web {
namespace {

void BM_BoardRowSnapshot(benchmark::State& state) {
    SnapshotBuilder builder;
    SnapshotBox box;
    int i = 0;
    for (auto _ : state) {
        builder.boardSent(
            std::string(1, static_cast<char>('A' + i++ % 10)) + "021         1:37.14       : .\r",
            wallClockMs());
        box.publish(builder.build());
    }
}
BENCHMARK(BM_BoardRowSnapshot);

void timeCompetitors(sqlite3* db, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string bib = std::to_string(1001 + i % 500).substr(1);
        const std::string block = i < 500 ? "1" : "2";
        executeSql(db, "update timedata set grp='" + std::to_string(1 + i % 4) +
                           "', time1='00:01:" + std::to_string(10 + i % 50) + ".00' where block='" +
                           block + "' and bib='" + bib + "'");
    }
}

void BM_RankingsAfterResult(benchmark::State& state) {
    Database db(qpane::testing::upgradedStoreFolder());
    timeCompetitors(db.handle(), static_cast<int>(state.range(0)));
    SnapshotBuilder builder;
    SnapshotBox box;
    int i = 0;
    for (auto _ : state) {
        executeSql(db.handle(),
                   "update timedata set time2='00:01:" + std::to_string(10 + i++ % 50) +
                       ".00' where block='1' and bib='001'");
        builder.readStore(db.handle(), results::Discipline::Alpine);
        box.publish(builder.build());
    }
}
BENCHMARK(BM_RankingsAfterResult)->Arg(40)->Arg(200)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_EventText(benchmark::State& state) {
    Database db(qpane::testing::upgradedStoreFolder());
    timeCompetitors(db.handle(), 200);
    SnapshotBuilder builder;
    builder.readStore(db.handle(), results::Discipline::Alpine);
    for (char r = 'A'; r <= 'M'; ++r)
        builder.boardSent(std::string(1, r) + "021         1:37.14       : .\r", wallClockMs());
    const SnapshotPtr s = builder.build();
    for (auto _ : state)
        benchmark::DoNotOptimize(eventJson(*s));
}
BENCHMARK(BM_EventText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qpane::web
