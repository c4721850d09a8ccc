#include "transcript.h"

#include <cstdio>

namespace qpane::replay {

std::string colorText(uint32_t rgb) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", rgb & 0xFFFFFF);
    return buf;
}

void Transcript::event(const std::string& text) {
    out_ << clock_() << ' ' << text << '\n';
}

void Transcript::detail(const std::string& text) {
    out_ << "  | " << text << '\n';
}

}  // namespace qpane::replay
