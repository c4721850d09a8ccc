#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace qpane {

namespace fs = std::filesystem;

TempRoot::TempRoot() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("qpane-serial-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_ / "dev");
}

TempRoot::~TempRoot() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

PseudoTerminal::PseudoTerminal(const fs::path& root, int portNo) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    const std::string slavePath = ::ptsname(master_);
    slave_ = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) throw std::runtime_error("cannot open " + slavePath);
    termios t{};
    ::tcgetattr(master_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master_, TCSANOW, &t);
    fs::path link = root / "dev" / ("COM" + std::to_string(portNo));
    fs::remove(link);
    fs::create_symlink(slavePath, link);
}

PseudoTerminal::~PseudoTerminal() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

void PseudoTerminal::send(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            throw std::runtime_error("far end cannot send");
        }
    }
}

size_t PseudoTerminal::trySend(std::string_view bytes) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    return n > 0 ? static_cast<size_t>(n) : 0;
}

std::string PseudoTerminal::receiveWhile(const Wanted& wanted, int timeoutMs) {
    std::string got;
    char buf[4096];
    for (size_t more = wanted(got); more > 0; more = wanted(got)) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) break;
        const ssize_t r = ::read(master_, buf, std::min(sizeof buf, more));
        if (r > 0)
            got.append(buf, static_cast<size_t>(r));
        else if (r == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

size_t PseudoTerminal::unread() const {
    int n = 0;
    return ::ioctl(master_, FIONREAD, &n) == 0 && n > 0 ? static_cast<size_t>(n) : 0;
}

void PseudoTerminal::hangUp() {
    ::close(master_);
    master_ = -1;
}

termios PseudoTerminal::lineSettings() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
}

}  // namespace qpane
