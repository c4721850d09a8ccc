#pragma once

#include <optional>

#include "input/time_values.h"

namespace qpane {

// The output patterns by the numbers that the settings file (key "Disppt"), the window's
// images and the field patternNo give them.
enum class PatternNumber : int {
    Alpine1 = 1,
    Alpine2 = 2,
    Alpine3 = 3,
    Alpine4 = 4,
    Alpine5 = 5,
    Cross1 = 11,
    Cross2 = 12,
    Cross3 = 13,
    Cross4 = 14,
    Relay = 15,
};

// The pattern of a number; none for a number that is not a pattern (a hand-edited "Disppt"
// of 7, say), with which the cycles leave the queue and the passes alone.
constexpr std::optional<PatternNumber> patternNumberOf(int number) {
    if ((number >= 1 && number <= 5) || (number >= 11 && number <= 15))
        return static_cast<PatternNumber>(number);
    return std::nullopt;
}

// The family that the window treats a number as, a number that is not a pattern too: up to
// 10 alpine, above 10 cross-country (the relay included).
enum class PatternFamily { Alpine, Cross };
constexpr PatternFamily patternFamilyOf(int number) {
    return number <= 10 ? PatternFamily::Alpine : PatternFamily::Cross;
}

// The layout of the board time fields that a number's pattern writes.
constexpr TimeFieldForm timeFieldFormOf(int number) {
    if (patternFamilyOf(number) == PatternFamily::Alpine) return TimeFieldForm::Alpine;
    if (number == 13 || number == 14) return TimeFieldForm::CrossBlankUnits;
    return TimeFieldForm::Cross;
}

}  // namespace qpane
