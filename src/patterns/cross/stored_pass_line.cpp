#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_recording.h"

namespace qpane::cross {

std::string storedPassLine(const TFqpane& w) {
    return "1" + copyText(w.workLine, 4, 3) + "     " + w.dptime(w.timeText);
}

}  // namespace qpane::cross
