// What the intake and the board commands cost on the user-interface thread, without the
// waits of virtual time.
#include <benchmark/benchmark.h>

#include "window_harness.h"

namespace {

using qpane::testing::WindowHarness;

// A burst of timing lines as each connection mode delivers them.
std::string burst(bool buffered, bool cross) {
    std::string s;
    for (int bib = 1; bib <= 40; ++bib) {
        char line[64];
        std::snprintf(line, sizeof line, "C1%d%03d00:01:%02d.%02d", 1 + bib % 2, bib, bib % 60,
                      bib % 100);
        if (!buffered)
            s += std::string("\x02") + line + "\x03";
        else if (cross)
            s += std::string("\x02") + line + "\x03";
        else
            s += std::string("\x02") + line + "\r";
    }
    return s;
}

void receive(benchmark::State& state, const char* pattern, const char* mode) {
    WindowHarness h({{"Portno", "1"}, {"Disppt", pattern}, {"Gmode", mode}});
    h.start();
    h.apply();
    const bool buffered = std::string(mode) == "B";
    const std::string bytes = burst(buffered, std::string(pattern) == "16");
    size_t total = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < bytes.size(); i += 64)
            h.rx(1, std::string_view(bytes).substr(i, 64));
        state.PauseTiming();
        h.w().Memo2.clear();
        h.w().Memo4.clear();
        h.w().bufferBusy = false;
        state.ResumeTiming();
        total += bytes.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(total));
}

void BM_CommX1Receive_AlpineDirect(benchmark::State& s) {
    receive(s, "7", "D");
}
void BM_CommX1Receive_AlpineBuffered(benchmark::State& s) {
    receive(s, "7", "B");
}
void BM_CommX1Receive_CrossDirect(benchmark::State& s) {
    receive(s, "16", "D");
}
void BM_CommX1Receive_CrossBuffered(benchmark::State& s) {
    receive(s, "16", "B");
}
BENCHMARK(BM_CommX1Receive_AlpineDirect);
BENCHMARK(BM_CommX1Receive_AlpineBuffered);
BENCHMARK(BM_CommX1Receive_CrossDirect);
BENCHMARK(BM_CommX1Receive_CrossBuffered);

// A board command from click to its last line handed to the port; "Set" includes its two
// waits of virtual time, which cost nothing here.
void command(benchmark::State& state, void (qpane::TFqpane::*click)(), const char* pinout) {
    WindowHarness h({{"Portno", "1"}, {"Pinout", pinout}, {"Portno2", "2"}});
    h.start();
    h.apply();
    for (auto _ : state) {
        (h.w().*click)();
        state.PauseTiming();
        h.hub().clearWritten(1);
        h.hub().clearWritten(2);
        state.ResumeTiming();
    }
}

void BM_BoardCommand_ShowAddress_Separate(benchmark::State& s) {
    command(s, &qpane::TFqpane::CuteButton61Click, "1");
}
void BM_BoardCommand_All8_Separate(benchmark::State& s) {
    command(s, &qpane::TFqpane::CuteButton29Click, "1");
}
void BM_BoardCommand_Set_Shared(benchmark::State& s) {
    command(s, &qpane::TFqpane::CuteButton1Click, "0");
}
BENCHMARK(BM_BoardCommand_ShowAddress_Separate);
BENCHMARK(BM_BoardCommand_All8_Separate);
BENCHMARK(BM_BoardCommand_Set_Shared);

}  // namespace
