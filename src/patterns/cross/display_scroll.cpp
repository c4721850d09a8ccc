#include <algorithm>

#include "app/fqpane.h"
#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "platform/convert.h"

namespace qpane::cross {

int scrollRowCount(const TFqpane& w) {
    return static_cast<int>(std::clamp<int64_t>(StrToInt64(w.Eddan.Text()), 0, 10));
}

void showScrollRows(TFqpane& w, const PassTexts& t, int scrollRows) {
    // The newest passes scroll down from row A; each row goes out as soon as it is built.
    for (w.rowNo = 1; w.rowNo <= scrollRows; ++w.rowNo) {
        const std::string& pass = t[w.rowNo - 1];
        w.boardRows[w.rowNo - 1] = pass.empty() ? rowLetter(w.rowNo) + std::string(19, ' ') + "\r"
                                                : passRow(w, w.rowNo, pass);
        w.boardOutput.send(w.boardRows[w.rowNo - 1]);
        w.boardOutput.wait(200);
    }

    setSql(w.Qtop, {"select * from timedata where block='" + sqlValue(w.blockNo) + "'",
                    "and grp='" + sqlValue(w.grpNo) + "' and time1<>'' order by time1"});
    w.Qtop.Open();
    fillRankingRows(w, w.Qtop, scrollRows + 1, "time1");
    sendRows(w, scrollRows + 1, 10, 200);
    logShownRows(w);
}

}  // namespace qpane::cross
