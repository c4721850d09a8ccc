// What a cross-country routine and the pass display cycle work with: the queued lines, the
// queries of the result store, the settings they read, the run-state fields they carry
// across passes and leave for the window, and the board output. The window builds one for
// each call.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "board/board_output.h"
#include "board/board_row.h"
#include "input/time_values.h"
#include "patterns/pattern_number.h"

namespace qpane {

class LineList;
class TQuery;

namespace cross {

// The run-state fields that the cross-country routines read and write, under the window's
// names. They are the window's own fields: what a routine leaves there is what the window
// shows and what the next call starts from.
struct CrossFields {
    int32_t& topTime;
    int32_t& nowTime;
    int32_t& diffTime;
    std::string& workLine;
    std::string& bibNo;
    std::string& timeText;
    std::string& rankBib;
    std::string& rankTime;
    std::string& topLine;
    std::string& lapNo;
    std::string& blockNo;
    std::string& grpNo;
    std::string& shownGrp;
    std::string& shownBlock;
    int& rowNo;
    BoardRows& boardRows;
};

// The queries of the result store: Qtemp looks up a runner (and marks a pass row shown),
// Qedit stores the passes and the pass rows, Qtimedp is the ranking grid of the data check
// page, Qcross the pass rows still to be shown, Qtop and Qedit2 the rankings that the pass
// display draws.
struct CrossStore {
    TQuery& Qtemp;
    TQuery& Qedit;
    TQuery& Qtimedp;
    TQuery& Qcross;
    TQuery& Qtop;
    TQuery& Qedit2;
};

// The settings of the window that a call reads, taken when it starts.
struct CrossSettings {
    // The pattern chosen; none for a number that is not a pattern, whose pass rows the
    // display only marks shown.
    std::optional<PatternNumber> pattern;
    // The layout of the time fields, from the number of the pattern chosen.
    TimeFieldForm form = TimeFieldForm::Cross;
    Precision precision = Precision::Tenths;
    // The scroll row count of CROSS-1 as the operator typed it (Eddan).
    std::string scrollRowsText = "3";
    // How long the display holds a shown pass row on the board, in seconds (waitTime).
    int holdSeconds = 0;
};

// What the pass display does to the window beyond its fields.
struct CrossWindow {
    // Timer3, the pass display cycle: held while one step runs.
    std::function<void(bool enabled)> enablePassDisplay;
    // A pass row was marked shown: a later refusal of the store is news again.
    std::function<void()> storeWritten;
    // The store refused to mark a pass row shown: whether to tell the operator now (true the
    // first time, false while no write has gone through since).
    std::function<bool()> tellStoreFailure;
};

struct CrossContext {
    LineList& queue;  // the input queue Memo2, oldest line first
    CrossStore store;
    CrossFields fields;
    BoardOutput& board;
    CrossSettings settings;
    CrossWindow window = {};

    // The time field of a board row in the layout of the pattern chosen.
    std::string timeField(std::string_view time) const {
        return dptime(time, settings.form, settings.precision);
    }
    // An 11-character time arranged for the precision.
    std::string arranged(std::string_view time) const { return dpprec(time, settings.precision); }
};

// The cross-country routines: each consumes every queued line in one call (the processing
// cycle calls it while the queue holds lines).
void syoriC1(CrossContext& c);
void syoriC2(CrossContext& c);
void syoriC3(CrossContext& c);
void syoriC4(CrossContext& c);
void syoriR(CrossContext& c);

// One step of the pass display cycle: the oldest pass row still to be shown is drawn in the
// layout of the pattern, marked shown and held on the board for holdSeconds.
void Timer3Timer(CrossContext& c);

}  // namespace cross
}  // namespace qpane
