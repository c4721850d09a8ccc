#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/controls.h"

namespace qpane {

class GridControl;
class TQuery;

// The maintenance page: the operator lists result rows, takes the run times of one competitor
// into two masked time fields and writes them back with the total computed from them.
struct MaintenancePage {
    TQuery& Qmente;  // the grid's rows
    TQuery& Qedit3;  // the correction
    SpinEdit& SpE2;  // the block
    Edit& Edit4;     // the first bib of the filter
    Edit& Edit5;     // the last bib of the filter
    Edit& Edit2;     // the bib being corrected
    MaskEdit& ME1;   // its run-1 time
    MaskEdit& ME2;   // its run-2 time
    GridControl& DBGrid2;
    Button& CuteButton4;
    // Moves the window's focus to a control of the page.
    std::function<void(const Control&)> setFocus;

    // Every row of every block, whatever filter was used before.
    void listAll();
    // The rows of SpE2's block, within the bibs of Edit4 to Edit5 when both are given.
    void filter();
    // The row under the grid's cursor becomes the one to correct.
    void takeRow();
    // Enter on the grid, ME1 and ME2: the next step of a correction.
    void gridKey(std::string_view key);
    void time1Key(std::string_view key);
    void time2Key(std::string_view key);
    // Stores the two times and their total for the bib of Edit2 in SpE2's block, and shows
    // the rows again. Returns why the store refused the correction ("" when it took it).
    std::string correct();
};

}  // namespace qpane
