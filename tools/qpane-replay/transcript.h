#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/byte_text.h"

namespace qpane::replay {

using qpane::quoteBytes;

// "#RRGGBB".
std::string colorText(uint32_t rgb);

// The transcript on standard output: one line per event, each starting with the time.
class Transcript {
  public:
    Transcript(std::ostream& out, std::function<int64_t()> clock)
        : out_(out), clock_(std::move(clock)) {}
    // "<time> <text>"
    void event(const std::string& text);
    // "  | <text>" continuation lines of a dump.
    void detail(const std::string& text);

  private:
    std::ostream& out_;
    std::function<int64_t()> clock_;
};

}  // namespace qpane::replay
