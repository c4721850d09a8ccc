#include "platform/byte_text.h"

#include <cstdio>

namespace qpane {

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

}  // namespace qpane
