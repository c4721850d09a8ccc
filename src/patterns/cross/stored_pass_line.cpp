#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane::cross {

std::string storedPassLine(const CrossContext& c) {
    return "1" + copyText(c.fields.workLine, 4, 3) + "     " + c.timeField(c.fields.timeText);
}

}  // namespace qpane::cross
