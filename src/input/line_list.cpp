#include "input/line_list.h"

namespace qpane {

namespace {
const std::string kEmpty;
}

void LineList::append(char b) {
    std::string& last = lines_.back();
    if (b == '\n' && !last.empty() && last.back() == '\r') {
        last.pop_back();
        lines_.emplace_back();
    } else {
        last.push_back(b);
    }
}

void LineList::appendByte(char b) {
    append(b);
    changed();
}

void LineList::endLine() {
    lines_.emplace_back();
    changed();
}

void LineList::addLine(std::string_view s) {
    if (lines_.back().empty()) {
        for (char c : s)
            append(c);
        append('\r');
        append('\n');
    } else {
        append('\r');
        append('\n');
        for (char c : s)
            append(c);
    }
    changed();
}

const std::string& LineList::lastLine() const {
    size_t n = count();
    return n == 0 ? kEmpty : lines_[n - 1];
}

void LineList::deleteLine(size_t i) {
    if (i >= lines_.size()) return;
    if (i + 1 == lines_.size()) {
        lines_.back().clear();
    } else {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    changed();
}

void LineList::cutLine(size_t i, size_t head, size_t tail) {
    if (i >= lines_.size()) return;
    std::string& line = lines_[i];
    if (line.size() <= head + tail) return;
    // The bytes that meet must not make a CR LF, which would read as two lines.
    if (head > 0 && tail > 0 && line[head - 1] == '\r' && line[line.size() - tail] == '\n') --head;
    line.erase(head, line.size() - tail - head);
    if (line.capacity() > 2 * line.size()) line.shrink_to_fit();
    changed();
}

void LineList::clear() {
    lines_.clear();
    lines_.emplace_back();
    changed();
}

std::string LineList::text() const {
    std::string t;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i) t += "\r\n";
        t += lines_[i];
    }
    return t;
}

}  // namespace qpane
