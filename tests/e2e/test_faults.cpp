// Faults in the middle of a race with real processes: the console killed outright and
// started again, and the far end of its ports going away and coming back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>

#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "live_console.h"
#include "temp_folder.h"

namespace qpane::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const Settings kAlpineRace{{"Portno", "1"},     {"Portno2", "2"}, {"Pinout", "1"},
                           {"BitRateOut", "2"}, {"Disppt", "1"},  {"Gmode", "D"}};

// The bibs that row A of the board showed: the competitors whose times the console took.
std::set<std::string> timedBibs(const fs::path& simLog) {
    std::set<std::string> bibs;
    for (const std::string& line : boardLines(simLog, "COM2"))
        if (line.size() > 4 && line[0] == 'A') bibs.insert(line.substr(1, 3));
    return bibs;
}

// The first column of a statement's rows, straight from the store file.
std::vector<std::string> storeColumn(const fs::path& root, const std::string& statement) {
    const fs::path file = root / "Program Files" / "PORLEX" / "QPANEData" / "QPANEData.db";
    sqlite3* db = nullptr;
    std::vector<std::string> out;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {"cannot open " + file.string()};
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, statement.c_str(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(st, 0);
            out.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

std::string settingsText(const fs::path& root) {
    return readFile(root / "Program Files" / "PORLEX" / "Alpine" / "Qcontrol.ini");
}

TEST(LiveFaults, KilledConsoleKeepsEveryStoredResultAndItsSettings) {
    const Programs programs;
    TempFolder work("qpane-e2e-killed");
    const fs::path root = work.path() / "root";
    writeSettings(root, kAlpineRace);
    const std::string settingsBefore = settingsText(root);

    auto sim = startSimulator(
        programs, root,
        {"--competitors", "10", "--runs", "1", "--gap", "1200", "--first-delay", "1500"});
    auto console = startConsole(programs, root, {"CuteButton3"}, false);
    ASSERT_TRUE(waitUntil([&] { return timedBibs(root / "sim.log").size() >= 3; }, 120s))
        << readFile(root / "sim.log");
    console->signal(SIGKILL);
    ASSERT_EQ(console->waitForExit(10s), 128 + SIGKILL);

    // Every time that reached the board was stored before it was shown.
    const std::set<std::string> shown = timedBibs(root / "sim.log");
    EXPECT_EQ(storeColumn(root, "pragma integrity_check"), std::vector<std::string>{"ok"});
    for (const std::string& bib : shown)
        EXPECT_NE(
            storeColumn(root, "select time1 from timedata where block='0' and bib='" + bib + "'"),
            std::vector<std::string>{"<null>"})
            << "bib " << bib;
    EXPECT_EQ(settingsText(root), settingsBefore);

    // Started again, the console goes on with the race on the same store.
    auto again = startConsole(programs, root, {"CuteButton3"}, true);
    EXPECT_TRUE(waitUntil([&] { return timedBibs(root / "sim.log").size() > shown.size(); }, 120s))
        << readFile(root / "sim.log");
    askToStop(root);
    EXPECT_EQ(again->waitForExit(30s), 0) << readFile(root / "operator.log");
    sim->signal(SIGTERM);
    sim->waitForExit(10s);
    for (const std::string& bib : shown)
        EXPECT_NE(
            storeColumn(root, "select time1 from timedata where block='0' and bib='" + bib + "'"),
            std::vector<std::string>{"<null>"})
            << "bib " << bib;
    EXPECT_NE(settingsText(root).find("Portno2=2\r\n"), std::string::npos);
}

TEST(LiveFaults, PortsThatGoAwayAreReportedAndTheRaceGoesOnAfterApply) {
    const Programs programs;
    TempFolder work("qpane-e2e-far-end");
    const fs::path root = work.path() / "root";
    writeSettings(root, kAlpineRace);
    const std::vector<std::string> race{"--competitors", "6",    "--runs",        "1",
                                        "--gap",         "1200", "--first-delay", "1500"};

    auto sim = startSimulator(programs, root, race);
    auto console = startConsole(programs, root, {"CuteButton3"}, true);
    ASSERT_TRUE(waitUntil([&] { return !timedBibs(root / "sim.log").empty(); }, 120s))
        << readFile(root / "sim.log");

    // The far end goes away: the console says so and keeps running.
    sim->signal(SIGKILL);
    sim->waitForExit(10s);
    EXPECT_TRUE(waitUntil(
        [&] {
            return readFile(root / "operator.log").find("との接続が切れました") !=
                   std::string::npos;
        },
        30s))
        << readFile(root / "operator.log");
    EXPECT_TRUE(console->running());

    // It comes back; "実行" opens the ports again and the race goes on.
    for (const char* port : {"COM1", "COM2"})
        fs::remove(root / "dev" / port);
    fs::remove(root / "sim.log");
    sim = startSimulator(programs, root, race);
    askToClick(root, {"TabSheet1Tab", "CuteButton3"});
    EXPECT_TRUE(waitUntil([&] { return !timedBibs(root / "sim.log").empty(); }, 120s))
        << readFile(root / "operator.log") << readFile(root / "sim.log");
    askToStop(root);
    EXPECT_EQ(console->waitForExit(30s), 0) << readFile(root / "operator.log");
}

// What the status line NAME showed, in turn.
std::vector<std::string> statusLines(const fs::path& root, const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream report(readFile(root / "status.log"));
    const std::string prefix = name + " ";
    for (std::string line; std::getline(report, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
    return lines;
}

bool statusShows(const fs::path& root, const std::string& name, const std::string& state) {
    const std::vector<std::string> lines = statusLines(root, name);
    return !lines.empty() && lines.back().find(state) != std::string::npos;
}

TEST(LiveFaults, MappedPortsCarryTheRaceAndTheStatusLineShowsLossAndReturn) {
    const Programs programs;
    TempFolder work("qpane-e2e-mapped");
    const fs::path root = work.path() / "root";
    // Ports 7 and 8 have no device of their own here (and are not the window's first
    // numbers): only the map leads them to the simulator, through names that stand for the
    // adapters' stable ones.
    writeSettings(root, {{"Portno", "7"},
                         {"Portno2", "8"},
                         {"Pinout", "1"},
                         {"BitRateOut", "2"},
                         {"Disppt", "1"},
                         {"Gmode", "D"}});
    const fs::path byId = root / "serial" / "by-id";
    fs::create_directories(byId);
    fs::create_symlink(root / "dev" / "COM1", byId / "usb-FTDI_timing-if00-port0");
    fs::create_symlink(root / "dev" / "COM2", byId / "usb-FTDI_board-if00-port0");
    {
        std::ofstream ini(root / "Program Files" / "PORLEX" / "Alpine" / "Qcontrol.ini",
                          std::ios::binary | std::ios::app);
        ini << "[Ports]\r\nPort7=" << (byId / "usb-FTDI_timing-if00-port0").string()
            << "\r\nPort8=" << (byId / "usb-FTDI_board-if00-port0").string() << "\r\n";
    }
    const std::vector<std::string> race{"--competitors", "6",    "--runs",        "1",
                                        "--gap",         "1200", "--first-delay", "1500"};

    auto sim = startSimulator(programs, root, race);
    auto console = startConsole(programs, root, {"CuteButton3"}, true);
    ASSERT_TRUE(waitUntil([&] { return !timedBibs(root / "sim.log").empty(); }, 120s))
        << readFile(root / "operator.log") << readFile(root / "sim.log");
    EXPECT_TRUE(waitUntil([&] { return statusShows(root, "LinkStatus1", "入力 開 受"); }, 10s))
        << readFile(root / "status.log");
    EXPECT_TRUE(statusShows(root, "LinkStatus2", "出力 開 受"));

    // The adapters go away: the status line says so and stays so.
    sim->signal(SIGTERM);
    ASSERT_EQ(sim->waitForExit(10s), 0);
    EXPECT_TRUE(waitUntil([&] { return statusShows(root, "LinkStatus1", "入力 切断"); }, 30s))
        << readFile(root / "status.log") << readFile(root / "operator.log");
    EXPECT_TRUE(console->running());

    // They come back under the same names: the status says so, and nothing reopens until the
    // operator clicks each line.
    fs::remove(root / "sim.log");
    sim = startSimulator(programs, root, race);
    EXPECT_TRUE(waitUntil([&] { return statusShows(root, "LinkStatus1", "入力 再接続可"); }, 30s))
        << readFile(root / "status.log") << readFile(root / "operator.log");
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(statusShows(root, "LinkStatus1", "入力 再接続可"));
    EXPECT_TRUE(timedBibs(root / "sim.log").empty());

    askToClick(root, {"LinkStatus1", "LinkStatus2"});
    EXPECT_TRUE(waitUntil([&] { return statusShows(root, "LinkStatus1", "入力 開"); }, 30s))
        << readFile(root / "status.log") << readFile(root / "operator.log");
    EXPECT_TRUE(waitUntil([&] { return !timedBibs(root / "sim.log").empty(); }, 120s))
        << readFile(root / "operator.log") << readFile(root / "sim.log");
    EXPECT_TRUE(statusShows(root, "LinkStatus2", "出力 開"))
        << readFile(root / "status.log") << readFile(root / "operator.log");
    askToStop(root);
    EXPECT_EQ(console->waitForExit(30s), 0) << readFile(root / "operator.log");
    sim->signal(SIGTERM);
    sim->waitForExit(10s);

    // The map is kept as the operator wrote it.
    EXPECT_NE(settingsText(root).find("Port7=" + (byId / "usb-FTDI_timing-if00-port0").string()),
              std::string::npos);
}

}  // namespace
}  // namespace qpane::e2e
