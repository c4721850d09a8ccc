#pragma once

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qpane::sim {

// One timing line of a race and when the device has it: delayMs after the line before it
// (after the start of the race for the first line). Lines with a delay of 0 come together.
struct RaceLine {
    int64_t delayMs = 0;
    std::string line;
};

struct Race {
    std::vector<RaceLine> lines;
    int64_t lengthMs() const;
};

// A race file that cannot be read: the message names the file, the line and what is wrong.
class RaceFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads a race file: one timing line per line, "<delay in ms> <timing line>". The timing
// line is the rest of the line after one blank, taken as it stands (trailing blanks too), or
// a byte string in double quotes with the escapes \r \n \t \\ \" and \xHH. Blank lines and
// lines starting with "#" are skipped; a CR before the line feed is dropped.
Race readRace(std::istream& in, const std::string& name);

// The text of a race file that reads back as race.
std::string writeRace(const Race& race);

// A byte string in double quotes starting at text[pos]; pos moves past the closing quote.
// Throws std::invalid_argument for an unfinished string or an unknown escape.
std::string unquoteBytes(std::string_view text, size_t& pos);

}  // namespace qpane::sim
