#pragma once

#include <optional>
#include <string>

#include "patterns/pattern_number.h"

namespace qpane {

// The text before the pattern caption in the window caption.
inline constexpr const char* kWindowCaptionHead = "VESK Q-PANE control   CT-Data >>>  Q-PANE    ";

// The Label5 caption of a pattern; empty for a number that is not a pattern.
std::string patternCaption(std::optional<PatternNumber> pattern);

}  // namespace qpane
