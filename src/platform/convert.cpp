#include "platform/convert.h"

#include <cstdio>
#include <limits>

namespace qpane {

namespace {

bool parse(std::string_view text, int64_t lo, int64_t hi, int64_t& out) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
        if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1) return false;
    }
    if (negative) {
        if (v > static_cast<uint64_t>(-(lo + 1)) + 1) return false;
        out = v == static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1
                  ? std::numeric_limits<int64_t>::min()
                  : -static_cast<int64_t>(v);
    } else {
        if (v > static_cast<uint64_t>(hi)) return false;
        out = static_cast<int64_t>(v);
    }
    return out >= lo && out <= hi;
}

[[noreturn]] void notAnInteger(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' は有効な整数ではありません。");
}

}  // namespace

int StrToInt(std::string_view text) {
    int64_t v = 0;
    if (!parse(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v))
        notAnInteger(text);
    return static_cast<int>(v);
}

int StrToIntDef(std::string_view text, int def) {
    int64_t v = 0;
    if (!parse(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v))
        return def;
    return static_cast<int>(v);
}

int64_t StrToInt64(std::string_view text) {
    int64_t v = 0;
    if (!parse(text, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), v))
        notAnInteger(text);
    return v;
}

std::string formatBib(int64_t n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3lld", static_cast<long long>(n));
    return buf;
}

}  // namespace qpane
