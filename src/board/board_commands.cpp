// The board: the port of a board line, the reset of the prepared rows, the test patterns and
// the brightness command.
#include "app/fqpane.h"
#include "board/board_lines.h"

namespace qpane {

TCustomCommX* TFqpane::boardCommandPort() {
    if (pinout == 0) return port1Open ? &CommX1 : nullptr;
    return port2Open ? &CommX2 : nullptr;
}

void TFqpane::sendToBoard(const std::string& line) {
    if (RGinout.ItemIndex() == 0) {
        if (port1Open) CommX1.SendString(line);
    } else if (port2Open) {
        CommX2.SendString(line);
    }
}

void TFqpane::endOutputLogEntry() {
    constexpr size_t kOutputLogLines = 38;
    Memo3.addLine("");
    while (Memo3.count() > kOutputLogLines)
        Memo3.deleteLine(0);
}

void TFqpane::dpscl() {
    for (rowNo = 1; rowNo <= 10; ++rowNo)
        boardRows[rowNo - 1] = blankBoardRow(rowNo);
}

namespace {
// Every line of a command passes through sendText, also when its port is not open.
void sendCommand(TFqpane& w, TCustomCommX* port, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        w.sendText = line;
        if (port) port->SendString(w.sendText);
    }
}
}  // namespace

void TFqpane::CuteButton28Click() {
    TCustomCommX* port = boardCommandPort();
    sendCommand(*this, port, allNullLines(pinout == 0));
}

void TFqpane::CuteButton29Click() {
    TCustomCommX* port = boardCommandPort();
    sendCommand(*this, port, allEightLines(pinout == 0));
}

void TFqpane::CuteButton58Click() {
    TCustomCommX* port = boardCommandPort();
    sendCommand(*this, port, oneToZeroLines(pinout == 0));
}

void TFqpane::CuteButton61Click() {
    TCustomCommX* port = boardCommandPort();
    sendCommand(*this, port, showAddressLines(pinout == 0));
}

void TFqpane::CuteButton1Click() {
    TCustomCommX* port = boardCommandPort();
    sendCommand(*this, port, {brightnessLine(TBarbright.Position())});
    scheduler().pause(200);
    sendCommand(*this, port, {"888     88:88:88.00 88\r"});
    scheduler().pause(200);
    sendCommand(*this, port, {"L888     88:88:88.01 88\r"});
}

}  // namespace qpane
