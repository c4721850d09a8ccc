#include "replay_traffic.h"

#include "platform/byte_text.h"

namespace qpane::sim {

namespace {
// The console's poll interval in an alpine pattern, and how long it keeps polling after the
// last line: enough for a batch that waited while it was busy.
constexpr int64_t kPollMs = 500;
constexpr int64_t kAfterLastLineMs = 2000;
}  // namespace

std::string replayActions(const Race& race, DeviceMode mode, RaceKind kind, char lineEnd,
                          const LineSettings& line, int portNo) {
    TimingDevice device(mode, kind, lineEnd);
    const std::string port = "COM" + std::to_string(portNo);
    std::string out;
    auto rx = [&](const std::string& bytes) {
        if (!bytes.empty()) out += "rx " + port + " " + quoteBytes(carried(line, bytes)) + "\n";
    };
    // Time passes; in buffered mode the console polls the idle device meanwhile.
    auto pass = [&](int64_t ms) {
        if (mode == DeviceMode::Buffered) {
            for (; ms >= kPollMs; ms -= kPollMs) {
                out += "wait " + std::to_string(kPollMs) + "\n";
                rx(device.poll());
            }
        }
        if (ms > 0) out += "wait " + std::to_string(ms) + "\n";
    };
    size_t i = 0;
    while (i < race.lines.size()) {
        pass(race.lines[i].delayMs);
        // The lines that come at the same moment.
        do {
            rx(device.take(race.lines[i].line));
            ++i;
        } while (i < race.lines.size() && race.lines[i].delayMs == 0);
        while (!device.idle())
            rx(device.poll());
    }
    pass(kAfterLastLineMs);
    return out;
}

}  // namespace qpane::sim
