#include "pty_link.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace qpane::sim {

namespace fs = std::filesystem;

namespace {

int bitRateOf(speed_t speed) {
    switch (speed) {
        case B1200: return 1200;
        case B2400: return 2400;
        case B4800: return 4800;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        default: return 0;
    }
}

std::string why() {
    return std::strerror(errno);
}

// Clears the way for the link: nothing there, or a link that leads nowhere.
void clearLinkPlace(const fs::path& link) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(link, ec);
    if (!fs::exists(status)) return;
    if (!fs::is_symlink(status))
        throw LinkError(link.string() + " is there and is not a link; remove it first");
    const fs::path target = fs::read_symlink(link, ec);
    if (fs::exists(link, ec))
        throw LinkError(link.string() + " already leads to " + target.string() +
                        " (another qpane-sim, or a real port); remove the link or use "
                        "another root or port");
    fs::remove(link, ec);
}

}  // namespace

PtyLink::PtyLink(const fs::path& root, int portNo)
    : portNo_(portNo), link_(root / "dev" / ("COM" + std::to_string(portNo))) {
    if (portNo < 1 || portNo > 9)
        throw LinkError("port " + std::to_string(portNo) + ": the console has ports 1 to 9");
    std::error_code ec;
    fs::create_directories(link_.parent_path(), ec);
    if (ec) throw LinkError("cannot make " + link_.parent_path().string() + ": " + ec.message());
    clearLinkPlace(link_);

    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) {
        const std::string reason = why();
        if (fd_ >= 0) ::close(fd_);
        throw LinkError("no pseudo-terminal: " + reason);
    }
    portPath_ = ::ptsname(fd_);
    // Raw from the start, so that nothing is echoed or translated before the console sets
    // the port up. The port side is opened once and closed, so that the far end sees a
    // hang-up until the console opens it.
    termios t{};
    ::tcgetattr(fd_, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(fd_, TCSANOW, &t);
    const int port = ::open(portPath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (port >= 0) ::close(port);

    fs::create_symlink(portPath_, link_, ec);
    if (ec) {
        ::close(fd_);
        throw LinkError("cannot link " + link_.string() + ": " + ec.message());
    }
}

PtyLink::~PtyLink() {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(link_, ec)) && fs::read_symlink(link_, ec) == portPath_)
        fs::remove(link_, ec);
    ::close(fd_);
}

bool PtyLink::portOpen() const {
    pollfd p{fd_, 0, 0};
    return ::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP);
}

std::string PtyLink::read() {
    std::string got;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            got.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return got;  // EAGAIN: nothing more; EIO: the port is closed
    }
}

bool PtyLink::write(std::string_view bytes, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
    return true;
}

PtyLink::PortSettings PtyLink::portSettings() const {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return {};
    return {bitRateOf(::cfgetospeed(&t)), (t.c_cflag & CRTSCTS) != 0};
}

}  // namespace qpane::sim
