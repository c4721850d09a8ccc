// The receive handler of the timing port: bytes become logged and queued timing lines.
#include "input/intake.h"

#include "input/line_list.h"
#include "platform/controls.h"
#include "serial/commx.h"

namespace qpane {

namespace {
constexpr char STX = 0x02;
constexpr char ETX = 0x03;
constexpr char CR = 0x0D;
constexpr char kPollByte = static_cast<char>(0xC1);
constexpr size_t kInputLogLines = 18;
constexpr size_t kIdlePollRun = 38;
// What a log line keeps when a device sends on without ending it: its beginning, far more
// than a memo shows (see kMemoLineBytes of the window), and its last two bytes, which with
// the first 38 are all that the procedures read of the input log.
constexpr size_t kLogLineHead = 4000;
constexpr size_t kLogLineTail = 2;
// The buffered line log is read by no routine: it keeps the newest lines.
constexpr size_t kBufferedLogLines = 1000;
// Procedure A reads only characters 2 to 3 of rxLine, which after a line of code "CA" or
// "CS" is never emptied again: it keeps its beginning.
constexpr size_t kAlpineRxLineBytes = 4000;

// Characters 2 to 3 of a line.
std::string_view codePair(const std::string& line) {
    return line.size() >= 2 ? std::string_view(line).substr(1, 2) : std::string_view();
}

char character2(std::string_view line) {
    return line.size() >= 2 ? line[1] : '\0';
}

bool isOneOf(char c, std::string_view set) {
    return c != '\0' && set.find(c) != set.npos;
}

// The codes of the lines that procedure D queues.
bool queuedInBufferedCross(std::string_view pair) {
    return pair == "C1" || pair == "CB" || pair == "CF" || pair == "CG" || pair == "CT";
}

// An emptied line gives back what a long one took.
void empty(std::string& line) {
    line.clear();
    if (line.capacity() > kLogLineHead) line.shrink_to_fit();
}
}  // namespace

void receiveTimingBytes(const IntakeParts& parts, IntakeState& state,
                        const IntakeSettings& settings, int receiveSize) {
    auto& [CommX1, Memo1, Memo2, Memo4, Timer1, sendText] = parts;
    auto& [bufferBusy, rxLine] = state;
    const int patternNo = settings.patternNo;
    const std::string_view connMode = settings.connMode;
    // A device that goes away in the middle of an event gives -1: what was read stays, the
    // rest of the event is dropped.
    auto readByte = [&CommX1](char& b) {
        const int v = CommX1.ReadByte();
        if (v < 0) return false;
        b = static_cast<char>(v);
        return true;
    };

    if (patternNo <= 10) {
        if (connMode == "B" && !bufferBusy) {
            // Procedure A: buffered alpine.
            for (int n = 0; n < receiveSize; ++n) {
                char b;
                if (!readByte(b)) break;
                if (rxLine.size() < kAlpineRxLineBytes) rxLine.push_back(b);
                if (b == '@' || b == CR) {
                    const std::string_view pair = codePair(rxLine);
                    if (pair != "CA" && pair != "CS") empty(rxLine);
                    Memo1.endLine();
                    Memo2.endLine();
                    sendText = std::string(1, kPollByte);
                    CommX1.SendString(sendText);
                }
                Memo1.appendByte(b);
                if (b != kPollByte) Memo2.appendByte(b);
                const std::string& last = Memo1.lastLine();
                if (last.size() >= 2 && Memo2.count() >= 1) {
                    const std::string_view tail = std::string_view(last).substr(last.size() - 2);
                    if (tail == "\xC1\xC1" || tail == "AA") {
                        bufferBusy = true;
                        Timer1.SetEnabled(true);
                    }
                }
            }
        } else if (connMode == "D" && !bufferBusy) {
            // Procedure B: direct alpine.
            Timer1.SetEnabled(false);
            for (int n = 0; n < receiveSize; ++n) {
                char b;
                if (!readByte(b)) break;
                if (b == ETX || b == '@') {
                    Memo1.endLine();
                    const std::string line = Memo1.lastLine();
                    const char c = character2(line);
                    if (c != 'A' && c != 'S') Memo2.addLine(line);
                } else if (b != STX) {
                    Memo1.appendByte(b);
                }
            }
            Timer1.SetEnabled(true);
        }
    } else {
        if (connMode == "D" && !bufferBusy) {
            // Procedure C: direct cross-country.
            Timer1.SetEnabled(false);
            for (int n = 0; n < receiveSize; ++n) {
                char b;
                if (!readByte(b)) break;
                if (b == ETX) {
                    Memo1.endLine();
                    const std::string line = Memo1.lastLine();
                    const char c = character2(line);
                    if (isOneOf(c, settings.relay ? "AFG1T" : "ABFG1")) Memo2.addLine(line);
                } else {
                    if (b != STX) Memo1.appendByte(b);
                    if (b == '@') Memo1.endLine();
                }
            }
            Timer1.SetEnabled(true);
        } else if (connMode == "B" && !bufferBusy) {
            // Procedure D: buffered cross-country.
            for (int n = 0; n < receiveSize; ++n) {
                char b;
                if (!readByte(b)) break;
                rxLine.push_back(b);
                // A line that will not be queued is only logged: it keeps what the logs keep.
                if (rxLine.size() > 1 + kLogLineHead + kLogLineTail &&
                    !queuedInBufferedCross(codePair(rxLine)))
                    rxLine.erase(1 + kLogLineHead, 1);
                if (b == ETX) {
                    Memo4.addLine(std::string_view(rxLine).substr(1));
                    Memo4.cutLine(Memo4.count() - 1, kLogLineHead, kLogLineTail);
                    while (Memo4.count() > kBufferedLogLines)
                        Memo4.deleteLine(0);
                }
                if (b == ETX || b == '@') {
                    if (queuedInBufferedCross(codePair(rxLine))) {
                        Memo2.addLine(std::string_view(rxLine).substr(1));
                        Timer1.SetEnabled(true);
                    }
                    empty(rxLine);
                }
                Memo1.appendByte(b);
                if (b == '@') Memo1.endLine();
            }
        }
    }

    while (Memo1.count() > kInputLogLines)
        Memo1.deleteLine(0);
    const std::string& last = Memo1.lastLine();
    if (last.size() >= kIdlePollRun && last.find_first_not_of(kPollByte) >= kIdlePollRun)
        Memo1.deleteLine(Memo1.count() - 1);
    // In direct mode the line being written is the next queue line: it stays whole until it
    // ends. Every other log line is only shown.
    size_t shownOnly = Memo1.count();
    if (connMode == "D" && Memo1.endsInLine()) --shownOnly;
    for (size_t i = 0; i < shownOnly; ++i)
        Memo1.cutLine(i, kLogLineHead, kLogLineTail);
}

void pollTimingDevice(TCustomCommX& port) {
    port.SendString(std::string(1, kPollByte));
}

}  // namespace qpane
