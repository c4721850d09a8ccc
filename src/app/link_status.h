#pragma once

#include <cstdint>
#include <string>

namespace qpane {

// The state of a port as the status line shows it. Returned: it went away, and the device of
// its number (its map entry) is there again; the operator reopens it.
enum class LinkState { Closed, Open, Lost, Returned };

// One link of the window (the input port CommX1, the board port CommX2) as the status line
// shows it; made by the core on request, read by the face on a timer.
struct LinkStatus {
    std::string device;  // the device its number opens
    LinkState state = LinkState::Closed;
    uint64_t received = 0;
    uint64_t sent = 0;
    // Milliseconds since the last timing line was queued; -1 before the first (input only).
    int64_t sinceLastLine = -1;
    // The link needs the operator (its line is red): it is lost or came back, or, on the input
    // link, nothing came for longer than the silence limit of [Ports] SilenceSeconds (counted
    // from the open when no line came yet).
    bool alarm = false;
    // Why the last open failed, for a mapped port: its entry, and whether the device is there.
    std::string openFailure;
};

// "開" / "閉" / "切断" / "再接続可" for the status line.
const char* linkStateText(LinkState state);

// The status line's short form of a link under its label ("入力", "出力"): its state, the
// bytes received and sent, the seconds since the last timing line where one came.
std::string linkStatusSummary(const std::string& label, const LinkStatus& status);
// The whole of it, with the device, and what a click does when the link came back.
std::string linkStatusDetail(const std::string& label, const LinkStatus& status);

}  // namespace qpane
