// What an alpine routine works with: the queued lines, the queries of the result store, the
// settings it reads, the run-state fields it carries across passes and leaves for the
// window, and the board output. The window builds one for each pass.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "board/board_output.h"
#include "board/board_row.h"
#include "input/connection_mode.h"
#include "input/time_values.h"

namespace qpane {

class LineList;
class TQuery;

namespace alpine {

// The run-state fields that the alpine routines read and write, under the window's names.
// They are the window's own fields: what a routine leaves there is what the window shows and
// what the next pass starts from.
struct AlpineFields {
    bool& bufferBusy;
    bool& totalDone;
    int32_t& topTime;
    int32_t& nowTime;
    int32_t& diffTime;
    std::string& workLine;
    std::string& bibNo;
    std::string& timeText;
    std::string& rankText;
    std::string& rowBib;
    std::string& rowTime;
    std::string& rankGrp;
    std::string& logLineA;
    std::string& logLineB;
    std::string& logLineC;
    std::string& rowABib;
    std::string& blockNo;
    std::string& grpNo;
    std::string& firstCode;
    int& rowNo;
    BoardRows& boardRows;
};

// The queries of the result store: Qtemp looks up the group of a bib, Qedit stores the
// times and opens the rankings, Qtimedp is the ranking grid of the data check page.
struct AlpineStore {
    TQuery& Qtemp;
    TQuery& Qedit;
    TQuery& Qtimedp;
};

// The settings of the window that a pass reads, taken when the pass starts.
struct AlpineSettings {
    // In buffered mode the device puts two characters before each line.
    ConnectionMode connection = ConnectionMode::Direct;
    Precision precision = Precision::Tenths;
};

// What a pass does to the window beyond its fields.
struct AlpineWindow {
    // Timer1, the processing cycle: ALPINE-2 holds it while its pass runs.
    std::function<void(bool enabled)> enableProcessingCycle;
    // The hidden statement edits of the data check page.
    std::function<void(std::string text)> setEdit1Text;
    std::function<void(std::string text)> setEdit3Text;
};

struct AlpineContext {
    LineList& queue;  // the input queue Memo2, oldest line first
    AlpineStore store;
    AlpineFields fields;
    BoardOutput& board;
    AlpineSettings settings;
    AlpineWindow window;

    // The time field of a board row in the alpine form.
    std::string timeField(std::string_view time) const {
        return dptime(time, TimeFieldForm::Alpine, settings.precision);
    }
};

// The alpine output patterns: each consumes every queued line in one pass (the processing
// cycle calls it while the queue holds lines).
void syoriA1(AlpineContext& c);
void syoriA2(AlpineContext& c);
void syoriA3(AlpineContext& c);
void syoriA4(AlpineContext& c);
void syoriA5(AlpineContext& c);

}  // namespace alpine
}  // namespace qpane
