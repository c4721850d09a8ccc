#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"

namespace qpane::e2e {

// The programs as built, named by the build (see CMakeLists.txt).
struct Programs {
    std::string qpane = QPANE_BIN;
    std::string sim = QPANE_SIM_BIN;
    std::string replay = QPANE_REPLAY_BIN;
    std::string operatorLibrary = QPANE_OPERATOR_LIBRARY;
#ifdef QPANE_PRELOAD_FIRST
    // The sanitizer's runtime, which must come before the operator library.
    std::string preloadFirst = QPANE_PRELOAD_FIRST;
#else
    std::string preloadFirst;
#endif
};

// Keys and values of the section [Boad] of the settings file.
using Settings = std::vector<std::pair<std::string, std::string>>;

void writeSettings(const std::filesystem::path& root, const Settings& settings);

// qpane-sim on root, without a view, its traffic in <root>/sim.log; returns once it has
// linked its ports.
std::unique_ptr<ChildProcess> startSimulator(const Programs& programs,
                                             const std::filesystem::path& root,
                                             const std::vector<std::string>& simArgs);

// The real qpane on root, offscreen, with the operator library clicking clicks once
// start-up has run. With stopWhenAsked, the operator closes the window through its close
// button when <root>/stop appears (see askToStop).
std::unique_ptr<ChildProcess> startConsole(const Programs& programs,
                                           const std::filesystem::path& root,
                                           const std::vector<std::string>& clicks,
                                           bool stopWhenAsked);
void askToStop(const std::filesystem::path& root);
// The operator clicks these controls, by name, in turn (the console must have been started
// by startConsole). Each change of a line of the link status goes to <root>/status.log as
// "NAME TEXT".
void askToClick(const std::filesystem::path& root, const std::vector<std::string>& clicks);
std::string operatorReport(const std::filesystem::path& root);

// The lines the board took on port, from the simulator's log.
std::vector<std::string> boardLines(const std::filesystem::path& simLog, const std::string& port);

// The lines the console sent on port in a replay transcript, poll bytes left out.
std::vector<std::string> sentLines(const std::string& transcript, const std::string& port);

// The same race run through qpane-replay: the settings, start-up, "実行", and the device's
// traffic as qpane-sim prints it for simArgs; then tailMs more. The transcript.
std::string replayRace(const Programs& programs, const std::filesystem::path& work,
                       const Settings& settings, const std::vector<std::string>& simArgs,
                       int tailMs);

}  // namespace qpane::e2e
