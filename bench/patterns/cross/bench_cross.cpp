// The cost of the cross-country routines and of the pass display cycle on the console's own
// store, on virtual time: the pauses between board rows and the hold take no real time, so
// the figures are the work itself.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

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

// An upgraded store with groups 1 and 2 of 100 runners each in blocks 0 and 1, a third of
// them with a pass time, and the board port COM2 open as after 実行 on separate ports.
class Race {
  public:
    Race(const char* name, int patternNo)
        : root_(fs::temp_directory_path() /
                ("qpane-bench-cross-" + std::to_string(::getpid()) + "-" + name)) {
        fs::remove_all(root_);
        w_ = std::make_unique<TFqpane>(
            qpane::WindowEnvironment{scheduler_, boxes_, hub_, qpane::Paths(root_)});
        w_->tableupdate();
        run("update timedata set grp='1' where block in ('0','1') and bib<='100'");
        run("update timedata set grp='2' where block in ('0','1') and bib>'100' and bib<='200'");
        run("update timedata set time1='00:30:00.00',totalt='00:30:00.00',totaltv='180000',"
            "lap='1' where block in ('0','1') and bib<='200' and bib like '%3'");
        w_->patternNo = patternNo;
        w_->RGinout.SetItemIndex(1);
        w_->CommX2.SetPortNo(2);
        w_->CommX2.Open();
        w_->port2Open = true;
        w_->TabSheet2Show();
        w_->waitTime = 1;
    }
    ~Race() {
        w_.reset();
        fs::remove_all(root_);
    }

    TFqpane& w() { return *w_; }
    void run(const std::string& sql) { w_->Db1.run(sql); }
    bool failed() const { return !boxes_.errors.empty(); }

    // A pass line of bib n (1 to 200) of block 0, its time growing with i.
    void queuePass(char code, int n, int64_t i) {
        char line[32];
        const int64_t cs = 170000 + i % 100000;
        std::snprintf(line, sizeof line, "C%c0%03d%02d:%02d:%02d.%02d", code, n,
                      static_cast<int>(cs / 360000), static_cast<int>(cs / 6000 % 60),
                      static_cast<int>(cs / 100 % 60), static_cast<int>(cs % 100));
        w_->Memo2.addLine(line);
    }

  private:
    fs::path root_;
    qpane::VirtualScheduler scheduler_;
    qpane::SimulatedPortHub hub_;
    SilentBoxes boxes_;
    std::unique_ptr<TFqpane> w_;
};

void (TFqpane::*const kRoutines[])() = {&TFqpane::syoriC1, &TFqpane::syoriC2, &TFqpane::syoriC3,
                                        &TFqpane::syoriC4, &TFqpane::syoriR};

// One pass line through the routine of pattern 11 to 15: its lookups, the update of
// timedata, the new pass row and the grid (and the leader row of CROSS-2 and the relay).
void BM_pass_line(benchmark::State& state) {
    const int patternNo = static_cast<int>(state.range(0));
    Race race("pass", patternNo);
    const char code = patternNo == 15 ? 'T' : '1';
    int64_t i = 0;
    for (auto _ : state) {
        race.queuePass(code, static_cast<int>(i % 200) + 1, i);
        (race.w().*kRoutines[patternNo - 11])();
        ++i;
    }
    if (race.failed()) state.SkipWithError("the routine reported an error");
}
BENCHMARK(BM_pass_line)->ArgName("pattern")->DenseRange(11, 15)->Unit(benchmark::kMicrosecond);

// One display step of pattern 11 to 15 (pauses and hold excluded: virtual time): reading the
// pass row, the ranking, building and sending the ten rows, marking the row shown.
void BM_display_step(benchmark::State& state) {
    const int patternNo = static_cast<int>(state.range(0));
    Race race("step", patternNo);
    if (patternNo == 15) race.w().lapNo = "1";
    int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        race.queuePass(patternNo == 15 ? 'T' : '1', static_cast<int>(i % 200) + 1, i);
        (race.w().*kRoutines[patternNo - 11])();
        ++i;
        state.ResumeTiming();
        race.w().Timer3Timer();
    }
    if (race.failed()) state.SkipWithError("the display step reported an error");
}
BENCHMARK(BM_display_step)->ArgName("pattern")->DenseRange(11, 15)->Unit(benchmark::kMicrosecond);

// The idle tick of the display cycle: one query of crosst that finds nothing to show, with
// `shown` pass rows already shown. Must stay under 1 ms with 20,000.
void BM_idle_tick(benchmark::State& state) {
    const int64_t shown = state.range(0);
    Race race("idle", 11);
    race.run("with recursive n(i) as (select 2 union all select i + 1 from n where i < " +
             std::to_string(shown + 1) +
             ") insert into crosst select i,'1012     ' || i,'','','','','','','','','','1' "
             "from n");
    for (auto _ : state)
        race.w().Timer3Timer();
    if (race.w().Qcross.RecordCount() != 0) state.SkipWithError("a row was left to show");
    state.counters["shown"] = static_cast<double>(shown);
}
BENCHMARK(BM_idle_tick)->ArgName("shown")->Arg(0)->Arg(20000)->Unit(benchmark::kMicrosecond);

// One tick of the display cycle of CROSS-1 with `unshown` pass rows waiting (the display shows
// one a second; a burst of passes leaves a backlog): the oldest row is drawn, marked shown and
// held (the hold takes no real time). Its cost must not grow with the backlog.
void BM_display_tick_backlog(benchmark::State& state) {
    const int64_t unshown = state.range(0);
    Race race("backlog", 11);
    if (unshown > 0)
        race.run("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                 std::to_string(unshown) +
                 ") insert into crosst select i,'1013     0:30:' || substr('0' || (i % 60), -2) || "
                 "'.00','','','','','','','','','','0' from n");
    race.w().blockNo = "0";
    race.w().grpNo = "1";
    for (auto _ : state) {
        race.w().Timer3Timer();
    }
    if (race.failed()) state.SkipWithError("the display tick reported an error");
    state.counters["unshown"] = static_cast<double>(unshown);
}
BENCHMARK(BM_display_tick_backlog)
    ->ArgName("unshown")
    ->Arg(0)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
