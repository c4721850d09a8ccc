#include "live_console.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "race.h"

namespace qpane::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The lines "<ms> <kind> <port> "<bytes>"" of a log or transcript, bytes unquoted.
std::vector<std::string> quotedLines(const std::string& text, const std::string& kind,
                                     const std::string& port) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    const std::string marker = " " + kind + " " + port + " \"";
    while (std::getline(in, line)) {
        size_t pos = line.find(marker);
        if (pos == std::string::npos) continue;
        pos += marker.size() - 1;
        out.push_back(sim::unquoteBytes(line, pos));
    }
    return out;
}

std::string run(const std::vector<std::string>& args, const fs::path& output) {
    ChildProcess child(args, {}, output);
    const auto status = child.waitForExit(60s);
    if (status != 0) throw std::runtime_error(args[0] + " failed: " + readFile(output));
    return readFile(output);
}

}  // namespace

void writeSettings(const fs::path& root, const Settings& settings) {
    const fs::path folder = root / "Program Files" / "PORLEX" / "Alpine";
    fs::create_directories(folder);
    std::ofstream out(folder / "Qcontrol.ini", std::ios::binary);
    out << "[Boad]\r\n";
    for (const auto& [key, value] : settings)
        out << key << "=" << value << "\r\n";
}

std::unique_ptr<ChildProcess> startSimulator(const Programs& programs, const fs::path& root,
                                             const std::vector<std::string>& simArgs) {
    std::vector<std::string> args{programs.sim,
                                  "--root",
                                  root.string(),
                                  "--view",
                                  "none",
                                  "--log",
                                  (root / "sim.log").string()};
    args.insert(args.end(), simArgs.begin(), simArgs.end());
    auto sim = std::make_unique<ChildProcess>(args, std::vector<std::string>{}, root / "sim.out");
    // It prints one line once its ports are linked.
    if (!waitUntil(
            [&] {
                return !sim->running() ||
                       readFile(root / "sim.out").find('\n') != std::string::npos;
            },
            30s) ||
        !sim->running())
        throw std::runtime_error("qpane-sim did not start: " + readFile(root / "sim.out"));
    return sim;
}

std::unique_ptr<ChildProcess> startConsole(const Programs& programs, const fs::path& root,
                                           const std::vector<std::string>& clicks,
                                           bool stopWhenAsked) {
    std::string clickList;
    for (const std::string& c : clicks)
        clickList += (clickList.empty() ? "" : ",") + c;
    std::vector<std::string> env{
        "QPANE_ROOT=" + root.string(),
        "QT_QPA_PLATFORM=offscreen",
        "LD_PRELOAD=" + (programs.preloadFirst.empty()
                             ? programs.operatorLibrary
                             : programs.preloadFirst + ":" + programs.operatorLibrary),
        "QPANE_OPERATOR_CLICKS=" + clickList,
        "QPANE_OPERATOR_REPORT=" + (root / "operator.log").string(),
        "QPANE_OPERATOR_STATUS=" + (root / "status.log").string()};
    if (stopWhenAsked) env.push_back("QPANE_OPERATOR_STOP=" + (root / "stop").string());
    env.push_back("QPANE_OPERATOR_CLICK_FILE=" + (root / "click").string());
    return std::make_unique<ChildProcess>(std::vector<std::string>{programs.qpane}, env,
                                          root / "qpane.out");
}

void askToClick(const fs::path& root, const std::vector<std::string>& clicks) {
    std::string list;
    for (const std::string& c : clicks)
        list += (list.empty() ? "" : ",") + c;
    const fs::path part = root / "click.part";
    std::ofstream(part) << list;
    fs::rename(part, root / "click");
}

void askToStop(const fs::path& root) {
    std::ofstream(root / "stop") << "stop\n";
}

std::string operatorReport(const fs::path& root) {
    return readFile(root / "operator.log");
}

std::vector<std::string> boardLines(const fs::path& simLog, const std::string& port) {
    return quotedLines(readFile(simLog), "board", port);
}

std::vector<std::string> sentLines(const std::string& transcript, const std::string& port) {
    std::vector<std::string> out;
    for (std::string& line : quotedLines(transcript, "tx", port))
        if (line != "\xC1") out.push_back(std::move(line));
    return out;
}

std::string replayRace(const Programs& programs, const fs::path& work, const Settings& settings,
                       const std::vector<std::string>& simArgs, int tailMs) {
    std::vector<std::string> print{programs.sim, "--print-scenario"};
    print.insert(print.end(), simArgs.begin(), simArgs.end());
    const std::string traffic = run(print, work / "traffic.scn");

    std::ofstream scenario(work / "race.scn", std::ios::binary);
    for (const auto& [key, value] : settings)
        scenario << "ini " << key << " " << value << "\n";
    scenario << "start\nclick CuteButton3\n" << traffic << "wait " << tailMs << "\n";
    scenario.close();
    return run({programs.replay, (work / "race.scn").string()}, work / "replay.out");
}

}  // namespace qpane::e2e
