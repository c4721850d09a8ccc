#include "race.h"

#include <charconv>

#include "platform/byte_text.h"

namespace qpane::sim {

namespace {

constexpr int64_t kLongestDelayMs = 24LL * 3600 * 1000;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A line that must be written quoted to read back the same: one that is empty, starts or
// ends with a blank, starts with a quote, or holds a byte that a text line cannot carry.
bool needsQuotes(const std::string& line) {
    if (line.empty() || line.front() == ' ' || line.front() == '\t' || line.front() == '"' ||
        line.back() == ' ' || line.back() == '\t')
        return true;
    for (unsigned char c : line)
        if (c < 0x20 || c > 0x7E) return true;
    return false;
}

}  // namespace

int64_t Race::lengthMs() const {
    int64_t total = 0;
    for (const RaceLine& l : lines)
        total += l.delayMs;
    return total;
}

std::string unquoteBytes(std::string_view text, size_t& pos) {
    if (pos >= text.size() || text[pos] != '"') throw std::invalid_argument("no opening quote");
    std::string out;
    for (size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) break;
        switch (text[i]) {
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'x': {
                const int hi = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
                const int lo = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
                if (hi < 0 || lo < 0) throw std::invalid_argument("\\x needs two hex digits");
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default: throw std::invalid_argument(std::string("unknown escape \\") + text[i]);
        }
    }
    throw std::invalid_argument("unfinished quoted string");
}

Race readRace(std::istream& in, const std::string& name) {
    Race race;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        auto fail = [&](const std::string& what) {
            throw RaceFileError(name + ":" + std::to_string(number) + ": " + what);
        };
        if (!text.empty() && text.back() == '\r') text.pop_back();
        const size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos || text[start] == '#') continue;

        size_t end = text.find_first_of(" \t", start);
        if (end == std::string::npos) end = text.size();
        int64_t delay = -1;
        const auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + end, delay);
        if (ec != std::errc() || ptr != text.data() + end || delay < 0 || delay > kLongestDelayMs)
            fail("\"" + text.substr(start, end - start) +
                 "\" is not a delay in milliseconds (0 to 86400000)");
        if (end >= text.size()) fail("a delay without a timing line");

        RaceLine line;
        line.delayMs = delay;
        size_t pos = end + 1;
        if (pos < text.size() && text[pos] == '"') {
            try {
                line.line = unquoteBytes(text, pos);
            } catch (const std::invalid_argument& e) {
                fail(e.what());
            }
            if (text.find_first_not_of(" \t", pos) != std::string::npos)
                fail("text after the quoted timing line");
        } else {
            line.line = text.substr(pos);
        }
        if (line.line.empty()) fail("an empty timing line");
        race.lines.push_back(std::move(line));
    }
    return race;
}

std::string writeRace(const Race& race) {
    std::string out;
    for (const RaceLine& l : race.lines) {
        out += std::to_string(l.delayMs);
        out += ' ';
        out += needsQuotes(l.line) ? quoteBytes(l.line) : l.line;
        out += '\n';
    }
    return out;
}

}  // namespace qpane::sim
