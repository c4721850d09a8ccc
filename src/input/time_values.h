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

// The precision that the cross-country board shows (RGpre: item 0 "1/10", item 1 "1/100").
enum class Precision { Tenths, Hundredths };
constexpr Precision precisionOfItem(int item) {
    return item == 0 ? Precision::Tenths : Precision::Hundredths;
}

// The layout of a board time field. The alpine patterns share one mask, whatever the
// precision. The cross-country patterns mask by precision; CROSS-3 and CROSS-4 (differences
// and ranks) also blank the units digit of a time under one second (" .50" for 0.50).
enum class TimeFieldForm { Alpine, Cross, CrossBlankUnits };

// The time field of a board line: leading zeros and separators blanked, then the separator
// mask of the form.
std::string dptime(std::string_view text, TimeFieldForm form, Precision precision);

// An 11-character time arranged for the precision.
std::string dpprec(std::string_view text, Precision precision);

// Leading and trailing characters with codes of 32 or less removed.
std::string_view trimControl(std::string_view text);

}  // namespace qpane
