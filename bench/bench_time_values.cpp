#include <benchmark/benchmark.h>

#include "input/time_values.h"

namespace {

void BM_timetonum(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(qpane::timetonum("01:23:45.67"));
}
BENCHMARK(BM_timetonum);

void BM_numtotime(benchmark::State& state) {
    int64_t n = 502567;
    for (auto _ : state)
        benchmark::DoNotOptimize(qpane::numtotime(n));
}
BENCHMARK(BM_numtotime);

void BM_dptime_alpine(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            qpane::dptime("00:01:23.45", qpane::TimeFieldForm::Alpine, qpane::Precision::Tenths));
}
BENCHMARK(BM_dptime_alpine);

void BM_dptime_cross(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(qpane::dptime("00:01:23.45", qpane::TimeFieldForm::Cross,
                                               qpane::Precision::Hundredths));
}
BENCHMARK(BM_dptime_cross);

}  // namespace
