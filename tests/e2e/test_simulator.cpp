// The simulator playing both devices, with the console's ends of the lines opened as the
// console opens its ports.
#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>

#include "console_end.h"
#include "simulator.h"
#include "temp_folder.h"

namespace qpane::sim {
namespace {

using e2e::ConsoleEnd;
using namespace std::chrono_literals;

const std::string kLine1 = "C1000100:01:24.17";
const std::string kLine2 = "C1000200:01:29.98";

bool hasNote(const BoardSnapshot& s, const std::string& part) {
    for (const std::string& n : s.notes)
        if (n.find(part) != std::string::npos) return true;
    return false;
}

// The simulator on its own thread, and what its views were last shown.
class RunningSim {
  public:
    explicit RunningSim(SimConfig config) : sim_(std::move(config)) {
        sim_.setBoardListener([this](const BoardSnapshot& s) {
            std::lock_guard lock(mutex_);
            last_ = s;
            changed_.notify_all();
        });
        thread_ = std::thread([this] { sim_.run(); });
    }
    ~RunningSim() {
        sim_.stop();
        thread_.join();
    }
    const Simulator& sim() const { return sim_; }

    // Waits until what the views show satisfies condition.
    bool waitFor(const std::function<bool(const BoardSnapshot&)>& condition) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return condition(last_); });
    }
    bool waitForNote(const std::string& part) {
        return waitFor([&](const BoardSnapshot& s) { return hasNote(s, part); });
    }

  private:
    Simulator sim_;
    std::mutex mutex_;
    std::condition_variable changed_;
    BoardSnapshot last_;
    std::thread thread_;
};

SimConfig config(const e2e::TempFolder& root, std::vector<RaceLine> lines) {
    SimConfig c;
    c.root = root.path();
    c.logFile = root.path() / "sim.log";
    c.deviceLine = {9600, 8, Parity::None};
    c.race.lines = std::move(lines);
    return c;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Simulator, DirectRaceStartsWhenTheConsoleOpensAndWaitsWhileItsPortIsClosed) {
    e2e::TempFolder root;
    // The second line comes long after the first, so that the port is closed by then also
    // on a loaded machine.
    RunningSim running(config(root, {{0, kLine1}, {2000, kLine2}}));
    const auto link = running.sim().deviceLink().linkPath();
    ASSERT_TRUE(running.waitForNote("waiting for the console to open COM1"));
    {
        ConsoleEnd console(link);
        EXPECT_EQ(console.receive(19), "\x02" + kLine1 + "\x03");
    }
    // The first line waited for the opening as well: only a view that shows the port closed
    // and the second line due tells that the device holds that line for the closed port.
    ASSERT_TRUE(running.waitFor([](const BoardSnapshot& s) {
        return hasNote(s, "COM1: the console has the port closed") && hasNote(s, "1 waiting");
    }));
    ConsoleEnd console(link);
    EXPECT_EQ(console.receive(19), "\x02" + kLine2 + "\x03");
    ASSERT_TRUE(running.waitForNote("race: over, 2 lines"));

    const std::string log = readFile(root.path() / "sim.log");
    EXPECT_NE(log.find(" up COM1 "), std::string::npos);
    EXPECT_NE(log.find(" down COM1 "), std::string::npos);
    EXPECT_NE(log.find(" tx COM1 \"\\x02C1000200:01:29.98\\x03\"\n"), std::string::npos);
    EXPECT_NE(log.find(" race-end COM1\n"), std::string::npos);
}

TEST(Simulator, EndsByItselfOnceTheRaceIsOverAndTheBoardIdle) {
    e2e::TempFolder root;
    SimConfig c = config(root, {{0, kLine1}});
    constexpr int64_t kIdleMs = 1500;
    c.endWhenIdleMs = kIdleMs;
    Simulator sim(std::move(c));
    std::mutex mutex;
    std::condition_variable changed;
    bool over = false;
    sim.setBoardListener([&](const BoardSnapshot& s) {
        std::lock_guard lock(mutex);
        over = hasNote(s, "race: over");
        changed.notify_all();
    });
    std::promise<void> ended;
    std::future<void> end = ended.get_future();
    std::thread player([&] {
        sim.run();
        ended.set_value();
    });
    ConsoleEnd console(sim.deviceLink().linkPath());
    EXPECT_EQ(console.receive(19), "\x02" + kLine1 + "\x03");
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, 10s, [&] { return over; }));
    }
    // A board line after the race's end: the idle time counts from it.
    ConsoleEnd board(sim.boardLink().linkPath());
    board.send("A001         1:24.17       : .\r");
    const bool endedItself = end.wait_for(30s) == std::future_status::ready;
    if (!endedItself) sim.stop();
    player.join();
    ASSERT_TRUE(endedItself);
    EXPECT_TRUE(sim.endedIdle());

    // The log stamps each line with its millisecond: the end comes the idle time after the
    // board's line, which came after the race's end.
    std::istringstream log(readFile(root.path() / "sim.log"));
    int64_t raceEnd = -1, boardLine = -1, endAt = -1;
    for (std::string line; std::getline(log, line);) {
        const int64_t ms = std::stoll(line);
        if (line.find(" race-end COM1") != std::string::npos) raceEnd = ms;
        if (line.find(" board COM2 \"A001") != std::string::npos) boardLine = ms;
        if (line.find(" end the race is over and the board idle") != std::string::npos) endAt = ms;
    }
    ASSERT_GE(raceEnd, 0);
    ASSERT_GE(boardLine, raceEnd);
    EXPECT_GE(endAt, boardLine + kIdleMs);
}

TEST(Simulator, BufferedDeviceOnA7BitLineAnswersPollsAsTheConsoleReadsThem) {
    e2e::TempFolder root;
    SimConfig c = config(root, {{0, kLine1}});
    c.mode = DeviceMode::Buffered;
    c.deviceLine = {9600, 7, Parity::Even};
    RunningSim running(std::move(c));
    ConsoleEnd console(running.sim().deviceLink().linkPath());
    ASSERT_TRUE(running.waitForNote("1 held"));
    console.send("\xC1");
    EXPECT_EQ(console.receive(20), "\r\x02" + kLine1 + "\r");
    console.send("\xC1");
    EXPECT_EQ(console.receive(2), "AA");
    console.send("\xC1");
    EXPECT_EQ(console.receive(1), "A");
    EXPECT_NE(readFile(root.path() / "sim.log").find(" rx COM1 \"A\"\n"), std::string::npos)
        << "the device reads the poll byte as a 7-bit line carries it";
}

TEST(Simulator, BoardShowsAndLogsEveryLineOnItsPort) {
    e2e::TempFolder root;
    RunningSim running(config(root, {{0, kLine1}}));
    ConsoleEnd board(running.sim().boardLink().linkPath());
    board.send("L        99         9  \rA001         1:24.17       : .\rK    4\r");
    ASSERT_TRUE(running.waitFor([](const BoardSnapshot& s) {
        return s.board.row(0).number == "001" && s.board.brightness() == 4;
    }));
    const std::string log = readFile(root.path() / "sim.log");
    EXPECT_NE(log.find(" board COM2 \"A001         1:24.17       : .\\r\"\n"), std::string::npos);
    EXPECT_NE(log.find(" board COM2 \"K    4\\r\"\n"), std::string::npos);
}

TEST(Simulator, SharedLineTakesPollsForTheDeviceAndRowsForTheBoard) {
    e2e::TempFolder root;
    SimConfig c = config(root, {{0, kLine1}});
    c.mode = DeviceMode::Buffered;
    c.kind = RaceKind::Cross;
    c.boardPort = c.devicePort;
    RunningSim running(std::move(c));
    ConsoleEnd console(running.sim().deviceLink().linkPath());
    ASSERT_TRUE(running.waitForNote("1 held"));
    console.send(
        "A001         1:24.17       : .\r\xC1"
        "B            2:43.45       : .\r");
    EXPECT_EQ(console.receive(21), "@\x02" + kLine1 + "\x03@");
    ASSERT_TRUE(running.waitFor([](const BoardSnapshot& s) {
        return s.board.row(0).number == "001" && s.board.row(1).time == "    2:43.45";
    }));
}

TEST(Simulator, NoiseAndAConsoleAtAnotherBitRateAreShown) {
    e2e::TempFolder root;
    SimConfig c = config(root, {{0, kLine1}});
    c.parityErrorRate = 1.0;
    RunningSim running(std::move(c));
    ConsoleEnd console(running.sim().deviceLink().linkPath(), B4800);
    const std::string clean = "\x02" + kLine1 + "\x03";
    const std::string got = console.receive(clean.size());
    ASSERT_EQ(got.size(), clean.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const unsigned diff = static_cast<unsigned char>(got[i] ^ clean[i]);
        EXPECT_TRUE(diff != 0 && (diff & (diff - 1)) == 0) << "byte " << i;
    }
    EXPECT_TRUE(running.waitForNote("COM1: 19 bytes hit by noise"));
    EXPECT_TRUE(
        running.waitForNote("COM1: the console sends at 4800 bit/s, the line runs at 9600"));
}

}  // namespace
}  // namespace qpane::sim
