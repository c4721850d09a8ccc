// The start and the end of the real console from outside its window: started without a
// display it says so and ends with a status of its own; a kill, Ctrl-C or a closed terminal
// closes it with its shut-down, so that the settings are written.
#include <gtest/gtest.h>
#include <signal.h>

#include <string.h>

#include "live_console.h"
#include "serial/serial_device_list.h"
#include "temp_folder.h"

namespace qpane::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The status that qpane documents for "no display".
constexpr int kNoDisplayStatus = 3;

std::string settingsText(const fs::path& root) {
    return readFile(root / "Program Files" / "PORLEX" / "Alpine" / "Qcontrol.ini");
}

size_t count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1))
        ++n;
    return n;
}

class SignalToTheConsole : public ::testing::TestWithParam<int> {};

TEST_P(SignalToTheConsole, ClosesItWithItsShutDownAndStatus0) {
    const int sig = GetParam();
    const Programs programs;
    TempFolder work("qpane-e2e-signal");
    const fs::path root = work.path() / "root";
    writeSettings(
        root,
        {{"Portno", "1"}, {"Portno2", "2"}, {"Pinout", "1"}, {"Disppt", "1"}, {"Gmode", "D"}});

    // The operator picks the buffered connection (Gmode B), a setting that only the
    // shut-down writes. The second click is noted only after the first one has been made.
    auto console = startConsole(programs, root, {"CTBb", "CTBb"}, false);
    ASSERT_TRUE(waitUntil([&] { return count(operatorReport(root), "click CTBb") == 2; }, 60s))
        << operatorReport(root) << readFile(root / "qpane.out");
    EXPECT_NE(settingsText(root).find("Gmode=D\r\n"), std::string::npos);

    console->signal(sig);
    EXPECT_EQ(console->waitForExit(30s), 0) << readFile(root / "qpane.out");
    const std::string written = settingsText(root);
    EXPECT_NE(written.find("Gmode=B\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("Portno2=2\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("Disppt=1\r\n"), std::string::npos) << written;
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, SignalToTheConsole, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(sigabbrev_np(info.param));
                         });

// qpane on its own root with these changes to the environment; its status and output.
std::pair<std::optional<int>, std::string> runWithout(const fs::path& root,
                                                      const std::vector<std::string>& env) {
    const Programs programs;
    std::vector<std::string> all{"QPANE_ROOT=" + root.string()};
    all.insert(all.end(), env.begin(), env.end());
    ChildProcess qpane({programs.qpane}, all, root.parent_path() / "qpane.out");
    const auto status = qpane.waitForExit(30s);
    return {status, readFile(root.parent_path() / "qpane.out")};
}

TEST(ConsoleWithoutDisplay, SaysWhatIsMissingAndHowToRunWithoutOne) {
    TempFolder work("qpane-e2e-no-display");
    const auto [status, output] =
        runWithout(work.path() / "root", {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    EXPECT_EQ(status, kNoDisplayStatus) << output;
    // One line, naming what is missing and both ways to run without a display.
    EXPECT_EQ(count(output, "\n"), 1u) << output;
    EXPECT_EQ(output.rfind("qpane: ", 0), 0u) << output;
    for (const char* piece :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=offscreen", "scripts/demo --headless"})
        EXPECT_NE(output.find(piece), std::string::npos) << piece << " in " << output;
    // It stopped before it made anything: no folders, no store.
    EXPECT_FALSE(fs::exists(work.path() / "root"));
}

TEST(ConsoleWithoutDisplay, ADisplayThatDoesNotAnswerEndsTheSameWay) {
    TempFolder work("qpane-e2e-dead-display");
    // A display number that no X server serves, and the X window system asked for.
    const auto [status, output] = runWithout(
        work.path() / "root", {"DISPLAY=:9753", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb"});
    EXPECT_EQ(status, kNoDisplayStatus) << output;
    const std::string last = output.substr(output.rfind('\n', output.size() - 2) + 1);
    EXPECT_EQ(last.rfind("qpane: ", 0), 0u) << output;
    for (const char* piece : {"QT_QPA_PLATFORM=offscreen", "scripts/demo --headless"})
        EXPECT_NE(last.find(piece), std::string::npos) << piece << " in " << output;
    EXPECT_FALSE(fs::exists(work.path() / "root"));
}

// The device list for the port map needs no display and opens no window.
TEST(ConsoleWithoutDisplay, ListsTheSerialDevicesPresentAndEnds) {
    TempFolder work("qpane-e2e-list-ports");
    const Programs programs;
    const fs::path root = work.path() / "root";
    ChildProcess qpane(
        {programs.qpane, "--list-ports"},
        {"QPANE_ROOT=" + root.string(), "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"},
        work.path() / "qpane.out");
    EXPECT_EQ(qpane.waitForExit(30s), 0);
    EXPECT_EQ(readFile(work.path() / "qpane.out"), serialDeviceListText(listSerialDevices()));
    EXPECT_FALSE(fs::exists(root));
}

}  // namespace
}  // namespace qpane::e2e
