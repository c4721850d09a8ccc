#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qpane {

// Conversions between the forms of a time. Counts are hundredths of a second, thousandths
// for texts whose trimmed length is over 11; all arithmetic is 64-bit.

// "HH:MM:SS.hh" (or tenths, thousandths) to a count; a piece that does not convert counts 0.
int64_t timetonum(std::string_view text);

// A count of hundredths to the right-aligned form ("    1:23.45").
std::string numtotime(int64_t count);

// A short time completed to "HH:MM:SS.hh"; "" for a length it does not know.
std::string timefill(std::string_view text);

// The time field of a board line: leading zeros and separators blanked, then the separator
// mask of the pattern family. `precisionItem` is the item of RGpre (0 = 1/10, 1 = 1/100).
std::string dptime(std::string_view text, int patternNo, int precisionItem);

// An 11-character time arranged for the precision of RGpre.
std::string dpprec(std::string_view text, int precisionItem);

// Leading and trailing characters with codes of 32 or less removed.
std::string_view trimControl(std::string_view text);

}  // namespace qpane
