// qpane-replay: runs a scenario through the console's own logic on virtual time.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

#include "journal_to_scenario.h"
#include "platform/file_calls.h"
#include "replay_session.h"
#include "scenario.h"

namespace {

const char* const kUsage =
    "usage: qpane-replay [--root DIR] SCENARIO\n"
    "       qpane-replay [--root DIR] [--web HOST:PORT] [--pace] [--linger S] SCENARIO\n"
    "       qpane-replay --journal JOURNAL\n"
    "       qpane-replay --help\n"
    "\n"
    "Runs a scenario through the console's own logic, with simulated ports and a virtual\n"
    "clock, and prints its transcript on standard output (docs/replay.md: the format).\n"
    "\n"
    "  SCENARIO      a scenario file, or - for standard input\n"
    "  --root DIR    the folder that stands for the drive root (default: a new temporary\n"
    "                folder, removed at the end)\n"
    "  --web H:P     serve the live results page on H:P (as [Web] Listen in the settings\n"
    "                file would); its address goes to standard error\n"
    "  --pace        let each wait pass on the wall clock too (a page follows the race)\n"
    "  --linger S    keep the live page served S seconds after the scenario's end\n"
    "  --journal J   print the scenario of a traffic journal that the console kept\n"
    "  --help        print this help\n"
    "\n"
    "Exit status: 0 when the scenario ran to its end, 2 for a malformed scenario or a\n"
    "wrong command line, 1 when the run failed.\n";

// A wrong command line: the usage on standard error.
int usage() {
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // The transcript is bytes: the same on every system.
    qpane::file_calls::setBinaryStandardStreams();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    if (argc == 3 && std::string(argv[1]) == "--journal") {
        std::ifstream journal(argv[2], std::ios::binary);
        if (!journal) {
            std::cerr << "qpane-replay: cannot read " << argv[2] << "\n";
            return 2;
        }
        try {
            qpane::replay::journalToScenario(journal, std::cout);
        } catch (const qpane::replay::ScenarioError& e) {
            std::cerr << argv[2] << ": " << e.what() << "\n";
            return 2;
        }
        return 0;
    }

    std::filesystem::path root;
    std::string scenarioPath;
    std::string web;
    bool pace = false;
    int lingerSeconds = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (arg == "--web" && i + 1 < argc) {
            web = argv[++i];
        } else if (arg == "--pace") {
            pace = true;
        } else if (arg == "--linger" && i + 1 < argc) {
            const std::string value = argv[++i];
            if (value.empty() || value.size() > 6 ||
                value.find_first_not_of("0123456789") != std::string::npos)
                return usage();
            lingerSeconds = std::stoi(value);
        } else if (scenarioPath.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            scenarioPath = arg;
        } else {
            return usage();
        }
    }
    if (scenarioPath.empty()) return usage();

    std::vector<qpane::replay::Action> actions;
    try {
        if (scenarioPath == "-") {
            actions = qpane::replay::parseScenario(std::cin);
        } else {
            std::ifstream in(scenarioPath, std::ios::binary);
            if (!in) {
                std::cerr << "qpane-replay: cannot read " << scenarioPath << "\n";
                return 2;
            }
            actions = qpane::replay::parseScenario(in);
        }
    } catch (const qpane::replay::ScenarioError& e) {
        std::cerr << scenarioPath << ": " << e.what() << "\n";
        return 2;
    }

    const bool temporaryRoot = root.empty();
    int status = 0;
    try {
        if (temporaryRoot) root = qpane::file_calls::makeTemporaryFolder("qpane-replay-");
        std::filesystem::create_directories(root);
        qpane::replay::ReplaySession session(root, std::cout);
        session.serveWeb(web);
        session.paceInRealTime(pace);
        session.run(actions);
        std::cout.flush();
        if (lingerSeconds > 0 && !session.webAddress().empty())
            std::this_thread::sleep_for(std::chrono::seconds(lingerSeconds));
    } catch (const qpane::replay::ScenarioError& e) {
        std::cout.flush();
        std::cerr << scenarioPath << ": " << e.what() << "\n";
        status = 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "qpane-replay: " << e.what() << "\n";
        status = 1;
    }
    std::cout.flush();
    if (temporaryRoot && !root.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    return status;
}
