// Whole races with real processes on real pseudo-terminals: qpane-sim plays the timing
// device and the board, the real qpane runs offscreen, and "実行" is clicked in its window.
// What the board took must be, line for line, what the same race sends to the board when it
// runs through qpane-replay on virtual time. The lines of a race come far enough apart that
// each makes a pass of its own, also on a loaded machine.
#include <gtest/gtest.h>
#include <signal.h>

#include <sstream>

#include "live_console.h"
#include "platform/byte_text.h"
#include "temp_folder.h"

namespace qpane::e2e {
namespace {

using namespace std::chrono_literals;

struct LiveRace {
    const char* name;
    Settings settings;
    std::vector<std::string> simArgs;
    std::string boardPort;
    int tailMs;  // how long the console is still busy after the last line (replay)
};

void PrintTo(const LiveRace& race, std::ostream* out) {
    *out << race.name;
}

std::string tail(const std::string& text, size_t lines) {
    size_t start = text.size();
    for (size_t n = 0; n <= lines && start > 0; ++n) {
        const size_t pos = text.rfind('\n', start - 1);
        if (pos == std::string::npos) return text;
        start = pos;
    }
    return text.substr(start == 0 ? 0 : start + 1);
}

std::string joined(const std::vector<std::string>& lines) {
    std::ostringstream out;
    for (const std::string& l : lines)
        out << "  " << quoteBytes(l) << "\n";
    return out.str();
}

class LiveRaces : public ::testing::TestWithParam<LiveRace> {};

TEST_P(LiveRaces, BoardGetsWhatTheReplayOfTheRaceSends) {
    const LiveRace& race = GetParam();
    const Programs programs;
    TempFolder work("qpane-e2e-" + std::string(race.name));
    const std::filesystem::path root = work.path() / "root";

    const std::vector<std::string> expected =
        sentLines(replayRace(programs, work.path(), race.settings, race.simArgs, race.tailMs),
                  race.boardPort);
    ASSERT_FALSE(expected.empty()) << "the replay sent nothing to the board";

    writeSettings(root, race.settings);
    auto sim = startSimulator(programs, root, race.simArgs);
    auto console = startConsole(programs, root, {"CuteButton3"}, true);
    const auto simLog = root / "sim.log";
    const bool complete = waitUntil(
        [&] {
            return !console->running() || !sim->running() ||
                   boardLines(simLog, race.boardPort).size() >= expected.size();
        },
        150s);

    askToStop(root);
    const auto consoleStatus = console->waitForExit(30s);
    sim->signal(SIGTERM);
    const auto simStatus = sim->waitForExit(10s);
    const std::string report = operatorReport(root);
    const std::string context = "operator:\n" + report + "qpane:\n" +
                                tail(readFile(root / "qpane.out"), 10) + "qpane-sim log:\n" +
                                tail(readFile(simLog), 30);

    EXPECT_TRUE(complete) << context;
    EXPECT_EQ(consoleStatus, 0) << context;
    EXPECT_EQ(simStatus, 0) << context;
    EXPECT_NE(report.find("started\nclick CuteButton3\n"), std::string::npos) << context;
    EXPECT_EQ(report.find("message "), std::string::npos) << context;
    EXPECT_EQ(report.find("error "), std::string::npos) << context;
    const std::vector<std::string> actual = boardLines(simLog, race.boardPort);
    EXPECT_EQ(actual, expected) << "board:\n"
                                << joined(actual) << "replay:\n"
                                << joined(expected) << context;
}

const Settings kSeparatePorts{
    {"Portno", "1"}, {"Portno2", "2"}, {"Pinout", "1"}, {"BitRateOut", "2"}};

Settings with(Settings base, const Settings& more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

INSTANTIATE_TEST_SUITE_P(
    Races, LiveRaces,
    ::testing::Values(
        // The demo: ALPINE-1, direct, the input port as a first start sets it (7E1).
        LiveRace{"Alpine1Direct",
                 with(kSeparatePorts, {{"Disppt", "1"}, {"Gmode", "D"}}),
                 {"--competitors", "4", "--runs", "2", "--gap", "2500", "--first-delay", "1500"},
                 "COM2",
                 3000},
        // ALPINE-3 (rank in row A), buffered, 8 bits, lines ended by "@".
        LiveRace{"Alpine3Buffered8Bits",
                 with(kSeparatePorts,
                      {{"Disppt", "3"}, {"Gmode", "B"}, {"Chars1", "1"}, {"Parity1", "2"}}),
                 {"--mode", "buffered", "--data-bits", "8", "--parity", "none", "--line-end", "at",
                  "--competitors", "3", "--runs", "2", "--gap", "2500", "--first-delay", "1500",
                  "--seed", "5"},
                 "COM2",
                 3000},
        // CROSS-1, buffered, 7 bits: the pass display cycle shows every pass.
        LiveRace{"Cross1Buffered7Bits",
                 with(kSeparatePorts, {{"Disppt", "11"}, {"Gmode", "B"}, {"WTime", "1"}}),
                 {"--kind", "cross", "--mode", "buffered", "--competitors", "2", "--runs", "2",
                  "--gap", "4500", "--first-delay", "1500"},
                 "COM2",
                 6000},
        // CROSS-2 on one shared port: the board's lines and the device's share COM1.
        LiveRace{
            "Cross2DirectSharedPort",
            {{"Portno", "1"}, {"Pinout", "0"}, {"Disppt", "12"}, {"Gmode", "D"}, {"WTime", "1"}},
            {"--kind", "cross", "--board-port", "1", "--competitors", "3", "--runs", "1", "--gap",
             "4500", "--first-delay", "1500"},
            "COM1",
            6000}),
    [](const ::testing::TestParamInfo<LiveRace>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qpane::e2e
