#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace qpane::e2e {

// The console's end of a simulated line, opened the way its serial component opens a port:
// the link <root>/dev/COMn, raw, at a bit rate.
class ConsoleEnd {
  public:
    explicit ConsoleEnd(const std::filesystem::path& link, speed_t speed = B9600,
                        bool rtsCts = false) {
        fd_ = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return;
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, speed);
        if (rtsCts) t.c_cflag |= CRTSCTS;
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~ConsoleEnd() { close(); }
    ConsoleEnd(const ConsoleEnd&) = delete;
    ConsoleEnd& operator=(const ConsoleEnd&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void send(std::string_view bytes) {
        [[maybe_unused]] ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    }
    // Reads until n bytes came or timeoutMs passed.
    std::string receive(size_t n, int timeoutMs = 5000) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::string got;
        while (got.size() < n) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buf[256];
            const ssize_t r = ::read(fd_, buf, sizeof buf);
            if (r > 0) got.append(buf, static_cast<size_t>(r));
        }
        return got;
    }

  private:
    int fd_ = -1;
};

}  // namespace qpane::e2e
