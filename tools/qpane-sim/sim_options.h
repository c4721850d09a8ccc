#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "race_generator.h"
#include "simulator.h"

namespace qpane::sim {

enum class SimAction { Run, PrintRace, PrintScenario, Help };
enum class ViewKind { Terminal, Lines, None };

// The command line of qpane-sim.
struct SimOptions {
    SimAction action = SimAction::Run;
    SimConfig config;  // root and race are filled in by resolve()
    std::optional<std::filesystem::path> rootOption;
    std::optional<std::filesystem::path> raceFile;
    std::optional<std::filesystem::path> logOption;
    RacePlan plan;
    std::optional<ViewKind> view;  // default: the terminal when standard output is one
    bool window = false;
};

class OptionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws OptionError naming the option and what is wrong with it.
SimOptions parseOptions(const std::vector<std::string>& args);

// Fills in the root (the option, else the console's own default), the log (default
// <root>/qpane-sim.log) and the race (the file, else the generated one). Throws
// RaceFileError, or OptionError for a race file that cannot be opened.
void resolve(SimOptions& options, const std::filesystem::path& defaultRoot);

extern const char* const kUsage;

}  // namespace qpane::sim
