#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace qpane::sim {

// The simulator's record of the traffic, one event per line, written at once:
//   <ms since the start> <kind> COMn [<bytes in double quotes> | <text>]
// (a note names no port: its text does).
// Kinds: up, down (the console opened or closed the port), settings (the bit rate and
// handshake it set), rx (what the device read), tx (what the console reads from the device),
// held (buffered mode: the device has a line), board (one line the board took, with its
// CR), race-end (the device has handed out every line of the race), note.
// Bytes are quoted as the replay transcript quotes them.
class SimLog {
  public:
    // An empty path keeps no log.
    explicit SimLog(const std::filesystem::path& file);
    bool isOpen() const { return out_.is_open(); }

    void bytes(int64_t ms, std::string_view kind, const std::string& port, std::string_view data);
    void text(int64_t ms, std::string_view kind, const std::string& port, std::string_view text);

  private:
    std::ofstream out_;
};

}  // namespace qpane::sim
