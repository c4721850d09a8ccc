#include "simulator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace qpane::sim {

namespace {

// How long the device waits for a poll, holding lines, before it says that none comes.
constexpr int64_t kPollAwaitedMs = 3000;
// How often a closed port is looked at: a closed port cannot be waited on.
constexpr int kClosedPortCheckMs = 50;
// The console clears the port's input while it opens it; what the device sends goes after.
constexpr int64_t kOpeningMs = 200;

std::string portLabel(const PtyLink& link, const LineSettings& line) {
    return link.name() + " (" + line.text() + ")";
}

}  // namespace

Simulator::Simulator(SimConfig config)
    : config_(std::move(config)),
      device_(config_.mode, config_.kind, config_.lineEnd),
      noise_(config_.parityErrorRate, config_.seed),
      log_(config_.logFile) {
    ports_.push_back(
        {std::make_unique<PtyLink>(config_.root, config_.devicePort), config_.deviceLine});
    if (config_.boardPort != config_.devicePort)
        ports_.push_back(
            {std::make_unique<PtyLink>(config_.root, config_.boardPort), config_.boardLine});
    stopFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

Simulator::~Simulator() {
    if (stopFd_ >= 0) ::close(stopFd_);
}

int64_t Simulator::now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void Simulator::stop() {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
}

void Simulator::run(int signalFd) {
    for (;;) {
        const int64_t t = now();
        watchPorts(t);
        deliverDueLines(t);
        flushHeld(t);
        publish(t);
        if (const auto since = idleSince();
            since && config_.endWhenIdleMs && t - *since >= *config_.endWhenIdleMs) {
            log_.text(t, "end", {}, "the race is over and the board idle");
            endedIdle_ = true;
            return;
        }

        std::vector<pollfd> fds;
        std::vector<Port*> polled;
        for (Port& port : ports_) {
            if (!port.open) continue;
            fds.push_back({port.link->fd(), POLLIN, 0});
            polled.push_back(&port);
        }
        const size_t control = fds.size();
        fds.push_back({stopFd_, POLLIN, 0});
        if (signalFd >= 0) fds.push_back({signalFd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), pollTimeout(t)) < 0 && errno != EINTR) return;
        for (size_t i = control; i < fds.size(); ++i)
            if (fds[i].revents & POLLIN) return;

        const int64_t woke = now();
        for (size_t i = 0; i < polled.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            const std::string raw = polled[i]->link->read();
            if (!raw.empty()) fromConsole(woke, *polled[i], raw);
        }
    }
}

void Simulator::watchPorts(int64_t t) {
    for (Port& port : ports_) {
        const bool open = port.link->portOpen();
        if (open != port.open) {
            port.open = open;
            port.openedAt = t;
            log_.text(t, open ? "up" : "down", port.link->name(), port.link->portPath());
            if (!open) port.seen = {};
            boardChanged_ = true;
        }
        if (!open) continue;
        const PtyLink::PortSettings seen = port.link->portSettings();
        if (seen != port.seen) {
            port.seen = seen;
            log_.text(t, "settings", port.link->name(),
                      std::to_string(seen.bitRate) + (seen.rtsCts ? " rtscts" : " none"));
            boardChanged_ = true;
        }
    }
    if (!raceStart_ && devicePort().open) {
        raceStart_ = t;
        nextDue_ = t + (config_.race.lines.empty() ? 0 : config_.race.lines.front().delayMs);
    }
}

void Simulator::deliverDueLines(int64_t t) {
    if (!raceStart_) return;
    const std::vector<RaceLine>& lines = config_.race.lines;
    while (nextLine_ < lines.size() && nextDue_ <= t) {
        const std::string& line = lines[nextLine_].line;
        std::string out = device_.take(line);
        if (out.empty())
            log_.bytes(t, "held", devicePort().link->name(), line);
        else
            unsent_.push_back(std::move(out));
        ++nextLine_;
        if (nextLine_ < lines.size()) nextDue_ += lines[nextLine_].delayMs;
        boardChanged_ = true;
    }
}

bool Simulator::ready(const Port& port, int64_t t) {
    return port.open && t - port.openedAt >= kOpeningMs;
}

void Simulator::flushHeld(int64_t t) {
    while (!unsent_.empty() && ready(devicePort(), t)) {
        sendFromDevice(t, unsent_.front());
        unsent_.pop_front();
    }
    if (!raceOver_ && raceStart_ && nextLine_ == config_.race.lines.size() && unsent_.empty() &&
        device_.idle()) {
        raceOver_ = true;
        raceOverAt_ = t;
        log_.text(t, "race-end", devicePort().link->name(), {});
        boardChanged_ = true;
    }
}

void Simulator::sendFromDevice(int64_t t, const std::string& bytes) {
    Port& port = devicePort();
    const std::string wire = noise_.pass(carried(port.line, bytes), port.line.dataBits);
    if (!port.link->write(wire))
        log_.text(t, "note", {}, port.link->name() + ": the console took not all of the bytes");
    log_.bytes(t, "tx", port.link->name(), wire);
}

void Simulator::fromConsole(int64_t t, Port& port, const std::string& raw) {
    if (&port != &devicePort()) {
        toBoard(t, carried(port.line, raw));
        return;
    }
    // On a shared line the console's poll bytes go to the device, its board lines to the
    // board. The console sends each of them whole, so they never interleave.
    std::string forBoard;
    std::string forDevice;
    auto deviceReads = [&] {
        if (forDevice.empty()) return;
        log_.bytes(t, "rx", port.link->name(), carried(port.line, forDevice));
        forDevice.clear();
    };
    for (char c : raw) {
        if (static_cast<unsigned char>(c) != TimingDevice::kPoll) {
            (shared() ? forBoard : forDevice) += c;
            continue;
        }
        forDevice += c;
        deviceReads();
        lastPoll_ = t;
        if (device_.mode() == DeviceMode::Direct) {
            pollsInDirectMode_ = true;
            continue;
        }
        sendFromDevice(t, device_.poll());
    }
    deviceReads();
    if (!forBoard.empty()) toBoard(t, carried(port.line, forBoard));
}

void Simulator::toBoard(int64_t t, const std::string& bytes) {
    for (const std::string& line : boardReader_.feed(bytes)) {
        log_.bytes(t, "board", boardPort().link->name(), line);
        lastBoardLineAt_ = t;
        board_.show(line);
        boardChanged_ = true;
    }
}

std::vector<std::string> Simulator::notes(int64_t t) const {
    std::vector<std::string> out;
    const std::string device = devicePort().link->name();
    const std::vector<RaceLine>& lines = config_.race.lines;
    if (!raceStart_) {
        out.push_back("race: " + std::to_string(lines.size()) +
                      " lines, waiting for the console "
                      "to open " +
                      device + " (実行)");
    } else if (raceOver_) {
        out.push_back("race: over, " + std::to_string(lines.size()) + " lines handed out");
    } else {
        std::string text =
            "race: " + std::to_string(nextLine_) + " of " + std::to_string(lines.size()) + " lines";
        if (device_.heldLines() > 0) text += ", " + std::to_string(device_.heldLines()) + " held";
        if (!unsent_.empty()) text += ", " + std::to_string(unsent_.size()) + " waiting";
        out.push_back(text);
    }
    for (const Port& port : ports_) {
        if (raceStart_ && !port.open)
            out.push_back(port.link->name() + ": the console has the port closed");
        if (port.open && port.seen.bitRate != 0 && port.seen.bitRate != port.line.bitRate)
            out.push_back(port.link->name() + ": the console sends at " +
                          std::to_string(port.seen.bitRate) + " bit/s, the line runs at " +
                          std::to_string(port.line.bitRate));
    }
    if (config_.mode == DeviceMode::Buffered && raceStart_ && devicePort().open &&
        device_.heldLines() > 0 && t - std::max(lastPoll_, *raceStart_) >= kPollAwaitedMs)
        out.push_back(device + ": no poll from the console; is it set to バッファー使用?");
    if (pollsInDirectMode_)
        out.push_back(device +
                      ": the console polls, but the device sends on its own; set the "
                      "console to ダイレクト, or run qpane-sim --mode buffered");
    if (noise_.errors() > 0)
        out.push_back(device + ": " + std::to_string(noise_.errors()) + " bytes hit by noise");
    return out;
}

BoardSnapshot Simulator::snapshot() const {
    std::string heading = "Q-PANE board on " + portLabel(*ports_.back().link, ports_.back().line);
    if (!shared())
        heading += ", timing device on " + portLabel(*ports_.front().link, ports_.front().line);
    return {board_, heading, notes(now())};
}

void Simulator::publish(int64_t t) {
    std::vector<std::string> current = notes(t);
    if (current != shownNotes_) {
        // Race progress changes all the time; the log keeps the warnings.
        for (const std::string& note : current)
            if (note.rfind("race:", 0) != 0 &&
                std::find(shownNotes_.begin(), shownNotes_.end(), note) == shownNotes_.end())
                log_.text(t, "note", {}, note);
        shownNotes_ = std::move(current);
        boardChanged_ = true;
    }
    if (!boardChanged_) return;
    boardChanged_ = false;
    if (listener_) listener_(snapshot());
}

int Simulator::pollTimeout(int64_t t) const {
    int64_t timeout = 1000;  // the notes that depend on time
    for (const Port& port : ports_)
        if (!port.open) timeout = std::min<int64_t>(timeout, kClosedPortCheckMs);
    if (!unsent_.empty() && devicePort().open)
        timeout = std::min(timeout, std::max<int64_t>(devicePort().openedAt + kOpeningMs - t, 0));
    if (raceStart_ && nextLine_ < config_.race.lines.size())
        timeout = std::min(timeout, std::max<int64_t>(nextDue_ - t, 0));
    if (const auto since = idleSince(); since && config_.endWhenIdleMs)
        timeout = std::min(timeout, std::max<int64_t>(*since + *config_.endWhenIdleMs - t, 0));
    return static_cast<int>(timeout);
}

std::optional<int64_t> Simulator::idleSince() const {
    if (!raceOver_) return std::nullopt;
    return std::max(raceOverAt_, lastBoardLineAt_);
}

}  // namespace qpane::sim
