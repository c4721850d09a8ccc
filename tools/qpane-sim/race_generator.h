#pragma once

#include <cstdint>
#include <string>

#include "race.h"

namespace qpane::sim {

enum class RaceKind { Alpine, Cross };

// A race made up on the spot: competitors with bibs from firstBib on, in one block, their
// times drawn from seed.
//   Alpine: run 1 in bib order (code "1"); with two runs, run 2 in the reverse order of the
//   run-1 ranking, each finish bringing the run-2 time (code "2") and the total (code "T")
//   at once.
//   Cross-country: interval start every 30 s, laps of 4:30 to 5:30; every lap ends in a
//   pass (code "1") with the competitor's own time, the passes in the order they happen.
// The device has the first line firstDelayMs after the start and each next one gapMs later.
// The block is 0 unless chosen: in block 0 every bib of a fresh installation is in group 0,
// so the rankings fill without groups assigned first.
struct RacePlan {
    RaceKind kind = RaceKind::Alpine;
    int competitors = 8;
    int runs = 2;  // alpine: 1 or 2 runs; cross-country: laps
    int64_t firstDelayMs = 2000;
    int64_t gapMs = 3000;
    char block = '0';
    int firstBib = 1;
    uint32_t seed = 1;
};

Race generateRace(const RacePlan& plan);

// "HH:MM:SS.hh" of a count of hundredths.
std::string timeText(int64_t hundredths);

// A timing line: record class "C", code, block, three-digit bib, time.
std::string timingLine(char code, char block, int bib, int64_t hundredths);

}  // namespace qpane::sim
