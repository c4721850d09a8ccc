#include "board/board_output.h"

#include "board/board_lines.h"
#include "input/line_list.h"
#include "platform/scheduler.h"
#include "serial/commx.h"

namespace qpane {

namespace {
constexpr int64_t kPassRowPauseMs = 50;
constexpr size_t kOutputLogLines = 38;
}  // namespace

BoardOutput::BoardOutput(TCustomCommX& commX1, TCustomCommX& commX2, Scheduler& scheduler,
                         LineList& outputLog, PortState ports, std::string& sendText)
    : commX1_(commX1),
      commX2_(commX2),
      scheduler_(scheduler),
      outputLog_(outputLog),
      ports_(ports),
      sendText_(sendText) {}

PortSharing BoardOutput::sharing() const {
    return portSharingOf(ports_.pinout);
}

TCustomCommX* BoardOutput::boardPort() const {
    if (sharing() == PortSharing::Shared) return ports_.port1Open ? &commX1_ : nullptr;
    return ports_.port2Open ? &commX2_ : nullptr;
}

void BoardOutput::send(std::string_view line) {
    if (TCustomCommX* port = boardPort()) sent(*port, line);
}

void BoardOutput::sent(TCustomCommX& port, std::string_view line) {
    port.SendString(line);
    if (onSent) onSent(line);
}

void BoardOutput::wait(int64_t ms) {
    scheduler_.pause(ms);
}

void BoardOutput::sendRows(const BoardRows& rows, int& rowNo, int first, int last,
                           int64_t pauseMs) {
    for (rowNo = first; rowNo <= last; ++rowNo) {
        send(rowOf(rows, BoardRow(rowNo)));
        wait(pauseMs);
    }
}

void BoardOutput::sendPassRows(const BoardRows& rows, int& rowNo, const PassRows& plan) {
    TCustomCommX* port = boardPort();
    const PortRowRule& rule = sharing() == PortSharing::Shared ? plan.shared : plan.separate;
    if (!port || rule.rows == PortRowRule::Rows::Skipped) return;
    for (rowNo = 1; rowNo <= plan.last; ++rowNo) {
        if (rule.rows == PortRowRule::Rows::CountedOnly) continue;
        if (plan.skipRowL && BoardRow(rowNo) == kRowL) continue;
        const std::string& row = rowOf(rows, BoardRow(rowNo));
        if (rule.log == RowLog::EveryRow) log(row);
        if (rule.blankFrom != 0 && !showsSomething(row, rule.blankFrom, 20)) continue;
        if (rule.log == RowLog::SentRows) log(row + std::string(rule.logSuffix));
        sent(*port, row);
        wait(kPassRowPauseMs);
    }
}

void BoardOutput::sendCommand(const std::vector<std::string>& lines, int64_t pauseBetweenMs) {
    TCustomCommX* port = boardPort();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) wait(pauseBetweenMs);
        sendText_ = lines[i];
        if (port) sent(*port, sendText_);
    }
}

void BoardOutput::sendFirstResultCommand() {
    sendText_ = kFirstResultCommand;
    commX2_.SendString(sendText_);
    commX2_.SendString(sendText_);
}

void BoardOutput::log(std::string_view line) {
    outputLog_.addLine(line);
}

void BoardOutput::endLogEntry() {
    outputLog_.addLine("");
    while (outputLog_.count() > kOutputLogLines)
        outputLog_.deleteLine(0);
}

}  // namespace qpane
