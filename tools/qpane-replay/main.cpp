// qpane-replay: runs a scenario through the console's own logic on virtual time.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>

#include "journal_to_scenario.h"
#include "replay_session.h"
#include "scenario.h"

namespace {

int usage() {
    std::cerr
        << "usage: qpane-replay [--root DIR] SCENARIO\n"
           "       qpane-replay --journal JOURNAL   (prints the scenario of a traffic journal)\n";
    return 2;
}

std::filesystem::path makeTemporaryRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qpane-replay-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
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
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--root" && i + 1 < argc) {
            root = argv[++i];
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
        if (temporaryRoot) root = makeTemporaryRoot();
        std::filesystem::create_directories(root);
        qpane::replay::ReplaySession session(root, std::cout);
        session.run(actions);
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
