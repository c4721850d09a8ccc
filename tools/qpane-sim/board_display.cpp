#include "board_display.h"

namespace qpane::sim {

namespace {

// Positions first to last (1-based) of line, padded with blanks.
std::string field(std::string_view line, size_t first, size_t last) {
    std::string out;
    for (size_t p = first; p <= last; ++p) {
        const unsigned char c = p <= line.size() ? static_cast<unsigned char>(line[p - 1]) : ' ';
        out += (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : '?';
    }
    return out;
}

bool isBrightness(std::string_view line) {
    return line.size() == 6 && line.substr(0, 5) == "K    " && line[5] >= '0' && line[5] <= '9';
}

std::string printable(std::string_view line) {
    return field(line, 1, line.size());
}

}  // namespace

BoardLineKind BoardDisplay::show(std::string_view line) {
    ++lines_;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return BoardLineKind::Empty;
    const char first = line.front();
    if (isBrightness(line)) {
        brightness_ = line[5] - '0';
        return BoardLineKind::Brightness;
    }
    if (first == 'L') {
        lastControl_ = printable(line);
        return BoardLineKind::Control;
    }
    if ((first >= 'A' && first <= 'V') || first == 'l') {
        const int index = first == 'l' ? 11 : first - 'A';
        rows_[static_cast<size_t>(index)] = {field(line, 2, 4), field(line, 10, 20),
                                             field(line, 22, 23)};
        return BoardLineKind::Row;
    }
    if (first == ' ' || (first >= '0' && first <= '9')) {
        lastUnaddressed_ = printable(line);
        return BoardLineKind::Unaddressed;
    }
    ++unknown_;
    return BoardLineKind::Unknown;
}

std::vector<std::string> BoardLineReader::feed(std::string_view bytes) {
    std::vector<std::string> lines;
    for (char c : bytes) {
        pending_ += c;
        if (c == '\r' || pending_.size() >= kLongestLine) {
            lines.push_back(std::move(pending_));
            pending_.clear();
        }
    }
    return lines;
}

}  // namespace qpane::sim
