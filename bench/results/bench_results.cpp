// The result list of a block of 999 competitors, all with two runs and a total: read and
// ranked from the store, as CSV, and as a PDF (about 20 A4 pages).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QGuiApplication>

#include <filesystem>

#include "results/list_export.h"
#include "results/pdf/list_document.h"
#include "results/read_only_store.h"
#include "results/result_list.h"
#include "store/database.h"

namespace {

using namespace qpane;
using namespace qpane::results;

// The data folder of a store whose block 1 holds bibs 001 to 999 in group 1, each timed.
const std::filesystem::path& fullBlock() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qpane-bench-results-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::path f = pattern;
        Database db(f);
        db.run("alter table timedata add column block VARCHAR(1)");
        db.run(
            "update timedata set block='1',grp='1',"
            "time1='00:01:' || printf('%02d.%02d', 10 + bib % 40, bib % 97),"
            "time2='00:01:' || printf('%02d.%02d', 12 + bib % 37, bib % 89),"
            "totalt='00:02:' || printf('%02d.%02d', 22 + bib % 31, bib % 83)");
        return f;
    }();
    return folder;
}

void BM_ReadRankedList(benchmark::State& state) {
    ReadOnlyStore store(fullBlock());
    for (auto _ : state)
        benchmark::DoNotOptimize(readResultList(store.handle(), Discipline::Alpine, "1", "1"));
}
BENCHMARK(BM_ReadRankedList)->Unit(benchmark::kMillisecond);

void BM_Csv999(benchmark::State& state) {
    ReadOnlyStore store(fullBlock());
    for (auto _ : state) {
        const ResultList list = readResultList(store.handle(), Discipline::Alpine, "1", "1");
        benchmark::DoNotOptimize(csvOf(list, state.range(0) ? Encoding::ShiftJis : Encoding::Utf8));
    }
}
BENCHMARK(BM_Csv999)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Pdf999(benchmark::State& state) {
    ReadOnlyStore store(fullBlock());
    size_t bytes = 0;
    for (auto _ : state) {
        const ResultList list = readResultList(store.handle(), Discipline::Alpine, "1", "1");
        bytes = pdfOf(list, {"ベンチマーク大会", "2027年1月10日"}).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Pdf999)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(fullBlock(), ec);
    return 0;
}
