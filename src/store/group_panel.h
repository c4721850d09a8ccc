#pragma once

#include <string>

#include "platform/controls.h"

namespace qpane {

class TQuery;

// The group panel: the operator assigns group numbers to ranges of bibs within a block, and
// resets them. Rankings are made per group and block, so a change counts from the next line.
//
// The spin fields run their change handlers whenever the program changes their value; the
// steps here rely on that cascade (SpEgr loads its range, SpEs and SpEe keep it in order).
struct GroupPanel {
    Panel& Panel6;
    SpinEdit& SPE;    // the block shown and written
    SpinEdit& SpEgr;  // the group
    SpinEdit& SpEs;   // the first bib of the range
    SpinEdit& SpEe;   // the last bib of the range
    TQuery& Qgroup;   // the grid of the panel
    TQuery& Qtemp;    // lookups and updates

    // Opens the panel on the bibs of block 0, or closes it.
    void toggle();
    // The grid shows the block of SPE.
    void showBlock();
    // The range of bibs that the group of SpEgr holds already (0 to 0 when none).
    void loadGroup();
    // A first bib beyond the last moves the last one past it.
    void keepEndAfterBegin();
    // A last bib before the first moves back to it.
    void keepEndFromBegin();
    // Writes the group of SpEgr to the range of SPE's block and moves on to the next group
    // and range. The bibs of the range, formatted, go to beginBib and endBib as each is
    // converted (the window keeps them in workLine and bibNo).
    void assign(std::string& beginBib, std::string& endBib);
    // Group 0 for every bib of SPE's block, or of all blocks.
    void resetBlock();
    void resetAll();
};

}  // namespace qpane
