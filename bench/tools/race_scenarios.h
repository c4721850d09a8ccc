#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qpane::bench {

// A whole race as a qpane-replay scenario, made by a seeded generator, so that the text is the
// same on every run and every machine.
struct RaceScenario {
    std::string name;  // file name, ending in .scn
    std::string text;
};

// ALPINE-1, direct mode, separate board port: 40 competitors of block 1 in two groups of 20,
// run 1, then run 2 with the totals in the reverse order of run 1; one to three finishes per
// reception, 1.5 s apart; fresh root (the first start upgrades the installation database).
RaceScenario alpineFortyTwoRuns();

// CROSS-1 at 1/100 with three scroll rows: 60 runners of block 0 in two groups pass six times
// each; one to four passes per reception, 1.5 s apart, faster than the display shows them, so
// that a backlog builds and then drains.
RaceScenario crossSixtySixLaps();

// Both scenarios written into folder; their paths.
std::vector<std::filesystem::path> writeRaceScenarios(const std::filesystem::path& folder);

}  // namespace qpane::bench
