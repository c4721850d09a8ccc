#pragma once

#include <termios.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace qpane {

// A folder that stands for the drive root, removed at the end.
class TempRoot {
  public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A pseudo-terminal that stands for a serial line: the component opens its slave side as
// <root>/dev/COMn, the test plays the far end on the master side.
class PseudoTerminal {
  public:
    PseudoTerminal(const std::filesystem::path& root, int portNo);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The far end sends bytes (all of them, waiting for room).
    void send(std::string_view bytes);
    // One attempt without waiting; the bytes that went in.
    size_t trySend(std::string_view bytes);
    // The far end reads until it has n bytes or timeoutMs passed without any byte.
    std::string receive(size_t n, int timeoutMs = 5000);
    // What arrives within quietMs.
    std::string receiveFor(int quietMs);
    // Reads until what came ends with end, or timeoutMs passed without any byte.
    std::string receiveUntil(std::string_view end, int timeoutMs = 5000);
    // Bytes on the line that the far end has not read yet.
    size_t unread() const;
    // The far end goes away.
    void hangUp();
    // The line settings in force on the port side.
    termios lineSettings() const;

  private:
    // Takes what comes while wanted(what came so far) asks for more (at most that many
    // bytes), until nothing came for timeoutMs.
    using Wanted = std::function<size_t(const std::string&)>;
    std::string receiveWhile(const Wanted& wanted, int timeoutMs);
    int master_ = -1;
    int slave_ = -1;  // kept open so that the line settings can be read
};

}  // namespace qpane
