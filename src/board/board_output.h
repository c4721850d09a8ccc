#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_row.h"
#include "board/port_sharing.h"

namespace qpane {

class TCustomCommX;
class Scheduler;
class LineList;

// What of the rows of an alpine pass the output log gets.
enum class RowLog {
    None,
    // Every row of the loop, also one that is blank and so not sent.
    EveryRow,
    // Each row that is sent, followed by the suffix of the rule.
    SentRows,
};

// How the rows of an alpine pass go out on one port choice.
struct PortRowRule {
    // 0: every row is sent. Otherwise a row with nothing in characters blankFrom to 20 is
    // neither sent nor waited for, so that the board keeps what that row showed.
    size_t blankFrom = 0;
    RowLog log = RowLog::None;
    std::string_view logSuffix;
    // Sent: the rows go out. CountedOnly: the loop counts the rows through and sends none.
    // Skipped: no loop at all, rowNo keeps its value.
    enum class Rows { Sent, CountedOnly, Skipped } rows = Rows::Sent;
};

// The rows A (1) to last of an alpine pass and how each port choice sends them.
struct PassRows {
    int last = 10;
    // Row L is passed over (see kRowL).
    bool skipRowL = false;
    PortRowRule shared;
    PortRowRule separate;
};

// Every board line of the console goes out here, and every line of the output log (Memo3)
// is written here: the patterns, the pass display cycle and the board commands keep no port
// rule of their own.
class BoardOutput {
  public:
    // The window's settings that choose the port. They are read at every send, since the
    // operator changes them between passes.
    struct PortState {
        const int& pinout;
        const bool& port1Open;
        const bool& port2Open;
    };

    // commX1 is the timing input's port, commX2 the separate board port; sendText is the
    // run-state field that holds each command line as it goes out.
    BoardOutput(TCustomCommX& commX1, TCustomCommX& commX2, Scheduler& scheduler,
                LineList& outputLog, PortState ports, std::string& sendText);

    PortSharing sharing() const;
    // The port a board line goes to now: CommX1 when the port is shared and it is open,
    // CommX2 when it is separate and open, otherwise none and the line is dropped without a
    // message (the board acknowledges nothing, so there is nobody to tell).
    TCustomCommX* boardPort() const;
    bool boardPortOpen() const { return boardPort() != nullptr; }

    // One line by the port rule.
    void send(std::string_view line);
    // Waits ms milliseconds through the scheduler; the window handles nothing meanwhile.
    void wait(int64_t ms);

    // Rows first to last of rows by the port rule, each followed by a wait of pauseMs, also
    // when the port is closed (the pass display cycle keeps its pace either way). rowNo
    // counts the rows and ends one past last.
    void sendRows(const BoardRows& rows, int& rowNo, int first, int last, int64_t pauseMs);

    // The rows of an alpine pass: nothing at all while the board port is closed; otherwise
    // rowNo counts them from 1 and ends one past plan.last, and each row that goes is
    // followed by a wait of 50 ms (the alpine patterns' pace; the pass display's is its
    // own).
    void sendPassRows(const BoardRows& rows, int& rowNo, const PassRows& plan);

    // A board command: the port is chosen once, so all its lines go to the same one; every
    // line passes through sendText, also when that port is closed; pauseBetweenMs is the
    // wait between two lines.
    void sendCommand(const std::vector<std::string>& lines, int64_t pauseBetweenMs = 0);

    // The signal that the first result of a group and block follows (kFirstResultCommand),
    // through sendText and twice. It goes to CommX2 whatever the sharing, as the console has
    // always sent it: boards in use are set up for that traffic, and a board on the shared
    // port has never received this line. A closed CommX2 drops it.
    void sendFirstResultCommand();

    // The output log: one line; and the end of an entry, an empty line, after which the log
    // keeps its newest 38 lines (what the memo of the data check page shows).
    void log(std::string_view line);
    void endLogEntry();

    // Told of each line after it went to an open board port (the board mirror of the live
    // page follows the board with it); none when empty.
    std::function<void(std::string_view line)> onSent;

  private:
    void sent(TCustomCommX& port, std::string_view line);

    TCustomCommX& commX1_;
    TCustomCommX& commX2_;
    Scheduler& scheduler_;
    LineList& outputLog_;
    PortState ports_;
    std::string& sendText_;
};

}  // namespace qpane
