#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board_display.h"
#include "line_settings.h"
#include "pty_link.h"
#include "race.h"
#include "sim_log.h"
#include "timing_device.h"

namespace qpane::sim {

struct SimConfig {
    std::filesystem::path root;
    int devicePort = 1;
    int boardPort = 2;  // the device's port: the board shares the device's line
    DeviceMode mode = DeviceMode::Direct;
    RaceKind kind = RaceKind::Alpine;
    char lineEnd = TimingDevice::kCr;
    // The console's input port after a first start: 7 data bits, even parity.
    LineSettings deviceLine{9600, 7, Parity::Even};
    LineSettings boardLine{9600, 8, Parity::None};
    double parityErrorRate = 0;
    uint32_t seed = 1;
    Race race;
    std::filesystem::path logFile;
    // Ends the play once the race is over and the board has taken no line for this long.
    std::optional<int64_t> endWhenIdleMs;
};

// What a view of the board shows: the board, a heading, and the notes on the state of the
// race and of the lines.
struct BoardSnapshot {
    BoardDisplay board;
    std::string heading;
    std::vector<std::string> notes;
};

// Plays the timing device and the board on their lines. The race starts when the console
// first opens the device's port ("実行"). While the console has the port closed the device
// holds what it would send, and sends it once the port is open again.
class Simulator {
  public:
    // Makes the links; throws LinkError.
    explicit Simulator(SimConfig config);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Called on the simulator's thread whenever what a view shows has changed.
    void setBoardListener(std::function<void(const BoardSnapshot&)> listener) {
        listener_ = std::move(listener);
    }
    // Plays until stop(), until a signal arrives on signalFd (a signalfd; -1 for none), or
    // with endWhenIdleMs until the race is over and the board idle.
    void run(int signalFd = -1);
    // run() ended because the race was over and the board idle.
    bool endedIdle() const { return endedIdle_; }
    // From any thread.
    void stop();

    const PtyLink& deviceLink() const { return *ports_.front().link; }
    const PtyLink& boardLink() const { return *ports_.back().link; }
    BoardSnapshot snapshot() const;

  private:
    struct Port {
        std::unique_ptr<PtyLink> link;
        LineSettings line;
        bool open = false;
        int64_t openedAt = 0;
        PtyLink::PortSettings seen{};
    };

    int64_t now() const;
    Port& devicePort() { return ports_.front(); }
    const Port& devicePort() const { return ports_.front(); }
    Port& boardPort() { return ports_.back(); }
    bool shared() const { return ports_.size() == 1; }
    // Open, and set up by the console: it clears what waits on the port while it opens it.
    static bool ready(const Port& port, int64_t t);

    void watchPorts(int64_t t);
    void deliverDueLines(int64_t t);
    void flushHeld(int64_t t);
    void sendFromDevice(int64_t t, const std::string& bytes);
    void fromConsole(int64_t t, Port& port, const std::string& raw);
    void toBoard(int64_t t, const std::string& bytes);
    std::vector<std::string> notes(int64_t t) const;
    void publish(int64_t t);
    int pollTimeout(int64_t t) const;
    // Since when the race has been over and the board has taken nothing; none while not.
    std::optional<int64_t> idleSince() const;

    SimConfig config_;
    std::vector<Port> ports_;
    TimingDevice device_;
    BadLine noise_;
    SimLog log_;
    BoardDisplay board_;
    BoardLineReader boardReader_;
    std::function<void(const BoardSnapshot&)> listener_;
    int stopFd_ = -1;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();

    std::optional<int64_t> raceStart_;
    size_t nextLine_ = 0;
    int64_t nextDue_ = 0;
    std::deque<std::string> unsent_;  // direct lines waiting for the port to open
    bool raceOver_ = false;
    int64_t raceOverAt_ = 0;
    int64_t lastBoardLineAt_ = 0;
    bool endedIdle_ = false;
    int64_t lastPoll_ = -1;
    bool pollsInDirectMode_ = false;
    std::vector<std::string> shownNotes_;
    bool boardChanged_ = true;
};

}  // namespace qpane::sim
