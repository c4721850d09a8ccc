#include "patterns/cross/cross_line.h"

#include "input/line_list.h"
#include "input/time_values.h"
#include "store/query.h"

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

void takeQueuedLine(CrossContext& c) {
    CrossFields& f = c.fields;
    const std::string& line = c.queue.line(0);
    f.workLine = line + "\r";
    // From the line as it came, not from workLine: in a line cut short before position 6
    // the appended CR would take a place of the bib (or of the block) and go into the
    // statements and into the block that the display cycle ranks.
    f.blockNo = copyText(line, 3, 1);
    f.bibNo = copyText(line, 4, 3);
}

void takePassTime(CrossContext& c) {
    CrossFields& f = c.fields;
    const std::string time = charAt(f.workLine, 17) == ' ' ? copyText(f.workLine, 7, 10) + "0"
                                                           : copyText(f.workLine, 7, 11);
    f.timeText = timefill(time);
}

bool isStorablePass(const CrossContext& c, char code) {
    return charAt(c.fields.workLine, 2) == code && !c.fields.timeText.empty();
}

}  // namespace qpane::cross
