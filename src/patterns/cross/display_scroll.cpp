#include <algorithm>

#include "patterns/cross/cross_line.h"
#include "patterns/cross/pass_display.h"
#include "platform/convert.h"
#include "store/query.h"

namespace qpane::cross {

int scrollRowCount(std::string_view text) {
    return static_cast<int>(std::clamp<int64_t>(StrToInt64(text), 0, 10));
}

void showScrollRows(CrossContext& c, const PassTexts& t, int scrollRows) {
    CrossFields& f = c.fields;
    // The newest passes scroll down from row A; each row goes out as soon as it is built.
    for (f.rowNo = 1; f.rowNo <= scrollRows; ++f.rowNo) {
        const std::string& pass = t[f.rowNo - 1];
        f.boardRows[f.rowNo - 1] = pass.empty() ? rowLetter(f.rowNo) + std::string(19, ' ') + "\r"
                                                : passRow(c, f.rowNo, pass);
        c.board.send(f.boardRows[f.rowNo - 1]);
        c.board.wait(200);
    }

    TQuery& Qtop = c.store.Qtop;
    setSql(Qtop, {"select * from timedata where block='" + sqlValue(f.blockNo) + "'",
                  "and grp='" + sqlValue(f.grpNo) + "' and time1<>'' order by time1"});
    Qtop.Open();
    fillRankingRows(c, Qtop, scrollRows + 1, "time1");
    sendRows(c, scrollRows + 1, 10, 200);
    logShownRows(c);
}

}  // namespace qpane::cross
