// What the intake and the board commands cost on the user-interface thread, without the
// waits of virtual time.
#include <benchmark/benchmark.h>
#include <malloc.h>

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

// What the console holds of what it receives: CROSS-1 in buffered mode, pass lines far faster
// than the display shows them (a backlog builds up in the store), on virtual time. After 40 s
// that fill the logs to their bounds and the store's cache to its size, 30 s of input; the
// heap that the process holds after them, against before, per byte received and per second
// of input.
void BM_BufferedCrossHeldPerReceivedByte(benchmark::State& state) {
    const int linesPerSecond = static_cast<int>(state.range(0));
    for (auto _ : state) {
        WindowHarness h({{"Portno", "1"},
                         {"Pinout", "1"},
                         {"Portno2", "2"},
                         {"Disppt", "11"},
                         {"Gmode", "B"},
                         {"WTime", "1"}},
                        /*recordWrites=*/false);
        h.start();
        h.apply();
        int n = 0;
        size_t received = 0;
        auto second = [&] {
            for (int tenth = 0; tenth < 10; ++tenth) {
                std::string burst;
                for (int i = 0; i < linesPerSecond / 10; ++i, ++n) {
                    char line[64];
                    std::snprintf(line, sizeof line,
                                  "\x02"
                                  "C1%d%03d%02d:%02d:%02d.%02d\x03@",
                                  1 + n % 2, 1 + n % 200, n / 360000 % 24, n / 6000 % 60,
                                  n / 100 % 60, n % 100);
                    burst += line;
                }
                h.rx(1, burst);
                received += burst.size();
                h.wait(100);
            }
        };
        for (int s = 0; s < 40; ++s)
            second();
        const double before = static_cast<double>(mallinfo2().uordblks);
        received = 0;
        constexpr int kSeconds = 30;
        for (int s = 0; s < kSeconds; ++s)
            second();
        const double held = static_cast<double>(mallinfo2().uordblks) - before;
        state.counters["held_per_received_byte"] = held / static_cast<double>(received);
        state.counters["held_KiB_per_s"] = held / 1024 / kSeconds;
        state.counters["received_KiB_per_s"] = static_cast<double>(received) / 1024 / kSeconds;
    }
}
BENCHMARK(BM_BufferedCrossHeldPerReceivedByte)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
