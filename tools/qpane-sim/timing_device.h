#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "race_generator.h"

namespace qpane::sim {

enum class DeviceMode { Direct, Buffered };

// The timing device as the console's intake expects it. It works with whole bytes; what
// the line does to them (7 data bits, noise) is the link's business.
//
// Direct mode: each timing line goes out when the device has it, as STX, the line, ETX.
//
// Buffered mode: the device keeps its lines and hands them out when polled with the poll
// byte 0xC1 (on a 7-bit line it arrives as "A"; the link strips it before the device sees
// it). An idle device answers a poll with the poll byte.
//   Alpine form: one line per poll. The console queues, as one line, the byte that ended
//   the line before followed by what the device sent, and drops the first two bytes; so a
//   line goes out as STX, the timing line, and the line end (CR, or "@"), and the console
//   polls again at once. The first line of a batch goes out behind a line end of its own, as
//   if a line had ended before it: that ends whatever the console gathered since its last
//   batch (on a 7-bit line the idle answers "A", which the console takes for data) and gives
//   the first line the same two leading bytes as the others. A poll that finds the batch
//   done is answered with two poll bytes, the end of the batch.
//   Cross-country form: a poll is answered with every line held, each as STX, the timing
//   line, ETX and "@", behind one "@". The console keeps the bytes since the last ETX or "@"
//   and queues them without their first byte; the leading "@" clears the poll answers that
//   came since then.
class TimingDevice {
  public:
    static constexpr char kStx = 0x02;
    static constexpr char kEtx = 0x03;
    static constexpr char kCr = 0x0D;
    static constexpr unsigned char kPoll = 0xC1;

    TimingDevice(DeviceMode mode, RaceKind kind, char alpineLineEnd = kCr)
        : mode_(mode), kind_(kind), lineEnd_(alpineLineEnd) {}

    DeviceMode mode() const { return mode_; }
    RaceKind kind() const { return kind_; }

    // The device has a new timing line: the bytes to send now (direct mode), or nothing
    // (buffered mode keeps it).
    std::string take(std::string_view line);
    // A poll reached the device: the answer to send.
    std::string poll();

    size_t heldLines() const { return held_.size(); }
    // Nothing held, and no batch under way.
    bool idle() const { return held_.empty() && !inBatch_; }

  private:
    std::string alpineAnswer();
    std::string crossAnswer();

    DeviceMode mode_;
    RaceKind kind_;
    char lineEnd_;
    std::deque<std::string> held_;
    bool inBatch_ = false;
};

}  // namespace qpane::sim
