#include "patterns/cross/cross_line.h"

#include "app/fqpane.h"

namespace qpane::cross {

char charAt(std::string_view text, size_t pos) {
    return pos >= 1 && pos <= text.size() ? text[pos - 1] : '\0';
}

std::string copyText(std::string_view text, size_t pos, size_t count) {
    if (pos < 1 || pos > text.size()) return {};
    return std::string(text.substr(pos - 1, count));
}

void setSql(TQuery& query, std::initializer_list<std::string_view> lines) {
    query.SQL().Clear();
    for (std::string_view line : lines)
        query.SQL().Add(line);
}

void takeQueuedLine(TFqpane& w) {
    const std::string& line = w.Memo2.line(0);
    w.workLine = line + "\r";
    // From the line as it came, not from workLine: in a line cut short before position 6
    // the appended CR would take a place of the bib (or of the block) and go into the
    // statements and into the block that the display cycle ranks.
    w.blockNo = copyText(line, 3, 1);
    w.bibNo = copyText(line, 4, 3);
}

void takePassTime(TFqpane& w) {
    const std::string time = charAt(w.workLine, 17) == ' ' ? copyText(w.workLine, 7, 10) + "0"
                                                           : copyText(w.workLine, 7, 11);
    w.timeText = w.timefill(time);
}

bool isStorablePass(const TFqpane& w, char code) {
    return charAt(w.workLine, 2) == code && !w.timeText.empty();
}

}  // namespace qpane::cross
