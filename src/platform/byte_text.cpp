#include "platform/byte_text.h"

#include <cstdio>

namespace qpane {

std::string quoteBytes(std::string_view bytes) {
    std::string s = "\"";
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\r': s += "\\r"; break;
            case '\n': s += "\\n"; break;
            case '\t': s += "\\t"; break;
            case '\\': s += "\\\\"; break;
            case '"': s += "\\\""; break;
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

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y) return false;
    }
    return true;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace qpane
