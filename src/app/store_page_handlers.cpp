// The handlers of the pages that show and correct the store: the data check grid, the group
// panel and the maintenance page in store/ do the work.
#include "app/fqpane.h"
#include "store/data_check_grid.h"
#include "store/query.h"

namespace qpane {

void TFqpane::TabSheet2Show() {
    showDataCheckGrid(Qtimedp, patternNo);
}

void TFqpane::Button3Click() {
    groupPanel_.toggle();
}

void TFqpane::SPEChange() {
    // SpE2 of the maintenance page shares this handler, and it too refreshes the group grid
    // from SPE.
    groupPanel_.showBlock();
}

void TFqpane::SpEgrChange() {
    groupPanel_.loadGroup();
}

void TFqpane::SpEsChange() {
    groupPanel_.keepEndAfterBegin();
}

void TFqpane::SpEeChange() {
    groupPanel_.keepEndFromBegin();
}

void TFqpane::CuteButton6Click() {
    const std::vector<std::string> range{SPE.Text(), SpEgr.Text(), SpEs.Text(), SpEe.Text()};
    traceOperator("group", range);
    groupPanel_.assign(workLine, bibNo);
}

void TFqpane::CuteButton7Click() {
    traceOperator("reset", {SPE.Text()});
    groupPanel_.resetBlock();
}

void TFqpane::CuteButton9Click() {
    traceOperator("resetall");
    groupPanel_.resetAll();
}

void TFqpane::TabSheet4Show() {
    maintenance_.listAll();
}

void TFqpane::CuteButton8Click() {
    maintenance_.filter();
}

void TFqpane::DBGrid2CellClick() {
    maintenance_.takeRow();
}

void TFqpane::DBGrid2KeyDown(std::string_view key) {
    maintenance_.gridKey(key);
}

void TFqpane::ME1KeyDown(std::string_view key) {
    maintenance_.time1Key(key);
}

void TFqpane::ME2KeyDown(std::string_view key) {
    maintenance_.time2Key(key);
}

void TFqpane::CuteButton4Click() {
    std::vector<std::string> correction{Edit2.Text(), SpE2.Text(), "", "", ME1.Text(), ME2.Text()};
    if (operatorTrace) {
        // The times that the correction replaces, for the reader of the journal.
        std::vector<std::string> columns;
        std::vector<Database::Row> rows;
        try {
            Db1.select("select time1,time2 from timedata where bib='" + sqlValue(Edit2.Text()) +
                           "' and block='" + sqlValue(SpE2.Text()) + "'",
                       columns, rows, 1);
        } catch (const EDatabaseError&) {
            // The correction meets the same store and tells what is wrong.
        }
        if (!rows.empty()) {
            correction[2] = rows[0][0].value_or("");
            correction[3] = rows[0][1].value_or("");
        }
    }
    // Told before it runs: a correction that fails is replayed to the same failure.
    traceOperator("correct", correction);
    const std::string refused = maintenance_.correct();
    if (!refused.empty()) reportError(refused);
}

}  // namespace qpane
