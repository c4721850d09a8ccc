// What it costs the window to follow the core: a megabyte of timing traffic arriving in
// bursts into the memos (the queue grows, the input log is trimmed to its newest lines, a
// line that never ends), and a grid over the largest result the console has.
//   bench_gui [--benchmark_filter=...]   (runs on the offscreen platform unless told otherwise)
#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "gui/grid_view.h"
#include "gui/memo_view.h"
#include "input/line_list.h"
#include "store/database.h"
#include "store/query.h"

using namespace qpane;

namespace {

constexpr size_t kMegabyte = 1 << 20;
// A timing line as the queue holds it.
const std::string kLine = "C1001200:01:23.45";

enum class Traffic { Queue, InputLog, EndlessLine };

// One megabyte, in bursts of `burst` bytes; the view follows once after each burst, as it
// does once per turn of the event loop.
void feedMegabyte(LineList& list, MemoView& view, size_t burst, Traffic traffic) {
    size_t sent = 0, column = 0;
    while (sent < kMegabyte) {
        for (size_t i = 0; i < burst && sent < kMegabyte; ++i, ++sent) {
            if (traffic != Traffic::EndlessLine && column == kLine.size()) {
                list.endLine();
                column = 0;
                if (traffic == Traffic::InputLog)
                    while (list.count() > 18)
                        list.deleteLine(0);
                continue;
            }
            list.appendByte(kLine[column++ % kLine.size()]);
        }
        view.followNow();
    }
}

void BM_MemoFollowsMegabyte(benchmark::State& state, Traffic traffic) {
    const auto burst = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        LineList list;
        MemoView view;
        view.resize(300, 448);
        view.bind(list);
        feedMegabyte(list, view, burst, traffic);
        benchmark::DoNotOptimize(view.document()->blockCount());
        state.counters["redraws"] = view.redrawCount();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMegabyte));
}
BENCHMARK_CAPTURE(BM_MemoFollowsMegabyte, queue, Traffic::Queue)
    ->Arg(64)
    ->Arg(1024)
    ->Arg(16384)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemoFollowsMegabyte, input_log, Traffic::InputLog)
    ->Arg(64)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemoFollowsMegabyte, endless_line, Traffic::EndlessLine)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond);

// The same megabyte as the window takes it: each burst is one receive event, after which the
// event loop turns; the memo follows when its interval has passed.
void BM_MemoEventLoopMegabyte(benchmark::State& state) {
    const auto burst = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        LineList list;
        MemoView view;
        view.resize(300, 448);
        view.bind(list);
        size_t sent = 0, column = 0;
        while (sent < kMegabyte) {
            for (size_t i = 0; i < burst && sent < kMegabyte; ++i, ++sent) {
                if (column == kLine.size()) {
                    list.endLine();
                    column = 0;
                    continue;
                }
                list.appendByte(kLine[column++]);
            }
            QCoreApplication::processEvents();
        }
        view.followNow();
        state.counters["follows"] = view.followCount();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMegabyte));
}
BENCHMARK(BM_MemoEventLoopMegabyte)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);

// The maintenance grid over every row of every block (9990 rows): a handler that moves the
// cursor, and one that opens the query again, cost one follow each; painted, the grid reads
// the rows on its screen as well.
//   args: reopen (0/1), painted (0/1)
void BM_GridFollowsLargestResult(benchmark::State& state) {
    QTemporaryDir folder;
    Database db(folder.path().toStdString());
    TQuery extend(db, "Qedit");
    extend.SQL().Add("insert into timedata (bib,grp) select bib,grp from timedata");
    for (int i = 0; i < 3; ++i)
        extend.ExecSQL();  // 999 -> 7992 rows
    extend.SQL().Add("limit 1998");
    extend.ExecSQL();  // 9990 rows, as many as the upgraded table has
    TQuery q(db, "Qmente");
    q.SQL().Add("select * from timedata order by bib");
    q.Open();
    GridView grid(q, {{"bib", "Bib"},
                      {"time1", "Time1"},
                      {"time2", "Time2"},
                      {"totalt", "Totalt"},
                      {"grp", "Gr."}});
    grid.resize(430, 612);
    const bool reopen = state.range(0) != 0;
    const bool painted = state.range(1) != 0;
    if (painted) grid.show();
    int row = 0;
    for (auto _ : state) {
        if (reopen) {
            q.Close();
            q.Open();
        }
        q.setRecNo(row = (row + 37) % q.rowCount());
        grid.followNow();
        if (painted) benchmark::DoNotOptimize(grid.grab());
    }
    state.counters["rows"] = q.rowCount();
}
BENCHMARK(BM_GridFollowsLargestResult)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
