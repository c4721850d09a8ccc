#pragma once

#include <windows.h>

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

// The far end of the serial line that port n is on: port n + 10, linked to port n (a null
// modem pair of ports; under Wine two pseudo-terminals joined by socat, which
// scripts/test-windows sets up). The test plays the far end through this port.
class FarEnd {
  public:
    static constexpr int kPortOffset = 10;

    // std::runtime_error when the far end's port does not open.
    FarEnd(const std::filesystem::path& root, int portNo);
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

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

  private:
    // Takes what comes while wanted(what came so far) asks for more (at most that many
    // bytes), until nothing came for timeoutMs.
    using Wanted = std::function<size_t(const std::string&)>;
    std::string receiveWhile(const Wanted& wanted, int timeoutMs);
    // A write of the far end that waits at most waitMs (INFINITE: until it is done).
    size_t writeFor(std::string_view bytes, DWORD waitMs);
    // What is waiting, at most max bytes, without waiting.
    std::string takeWaiting(size_t max);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE done_ = nullptr;
};

}  // namespace qpane
