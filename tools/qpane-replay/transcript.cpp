#include "transcript.h"

#include <cstdio>

namespace qpane::replay {

std::string quoteBytes(std::string_view bytes) {
    std::string s = "\"";
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\r':
                s += "\\r";
                break;
            case '\n':
                s += "\\n";
                break;
            case '\t':
                s += "\\t";
                break;
            case '\\':
                s += "\\\\";
                break;
            case '"':
                s += "\\\"";
                break;
            default:
                if (c >= 0x20 && c <= 0x7E) {
                    s += static_cast<char>(c);
                } else {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    s += buf;
                }
        }
    }
    return s + "\"";
}

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
