// The handlers of the pages that show and correct the store: the data check grid, the group
// panel and the maintenance page in store/ do the work.
#include "app/fqpane.h"
#include "store/data_check_grid.h"

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
    groupPanel_.assign(workLine, bibNo);
}

void TFqpane::CuteButton7Click() {
    groupPanel_.resetBlock();
}

void TFqpane::CuteButton9Click() {
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
    const std::string refused = maintenance_.correct();
    if (!refused.empty()) reportError(refused);
}

}  // namespace qpane
