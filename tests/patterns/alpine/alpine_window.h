#pragma once

#include <string>
#include <vector>

#include "window_test.h"

namespace qpane::testing {

// A started main window on virtual time with simulated ports. Block 1 has group 1 (bibs 001
// to 020) and group 2 (021 to 040). The ports stay closed, so the board rows go nowhere; the
// tests look at the window's state.
class AlpineWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        w().dispatch([this] { w().FormShow(); });
        sql("update timedata set grp='1' where block='1' and bib between '001' and '020'");
        sql("update timedata set grp='2' where block='1' and bib between '021' and '040'");
        w().connMode = "D";
    }

    void sql(const std::string& statement) { exec(statement); }
    std::string stored(const std::string& column, const std::string& bib) {
        std::vector<Database::Row> rows;
        w().Db1.run("select " + column + " from timedata where block='1' and bib='" + bib + "'",
                    nullptr, &rows);
        return rows.empty() || !rows[0][0] ? "" : *rows[0][0];
    }
    // Queues the lines and runs the processing cycle for the pattern, as the timer would.
    void pass(int patternNo, const std::vector<std::string>& lines) {
        w().patternNo = patternNo;
        for (const std::string& line : lines)
            w().Memo2.addLine(line);
        w().dispatch([this] { w().Timer1Timer(); });
    }
};

}  // namespace qpane::testing
