#pragma once

#include <string>

namespace qpane {

// The text before the pattern caption in the window caption.
inline constexpr const char* kWindowCaptionHead = "VESK Q-PANE control   CT-Data >>>  Q-PANE    ";

// The Label5 caption of a pattern number; empty for a number that is not a pattern.
std::string patternCaption(int patternNo);

}  // namespace qpane
