#include "serial/posix/posix_comm_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "serial/posix/posix_termios.h"
#include "serial/system_comm_devices.h"

namespace qpane {

namespace {

// The errors of an ioctl that the device does not have.
bool unsupported(int err) {
    return err == ENOTTY || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

void signalEvent(int efd) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(efd, &one, sizeof one);
}

void drainEvent(int efd) {
    uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(efd, &value, sizeof value);
}

bool refersToPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned m = major(st.st_rdev);
    if (m >= 136 && m <= 143) return true;  // the slaves of /dev/ptmx
    unsigned int index;
    return ::ioctl(fd, TIOCGPTN, &index) == 0;  // a master
}

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::unique_ptr<PosixCommDevice> PosixCommDevice::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    // A lock keeps a second opening out, in this process and others, also for root, whom
    // TIOCEXCL does not stop.
    if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    ::ioctl(fd, TIOCEXCL);
    const int rxWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int txWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (rxWake < 0 || txWake < 0) {
        if (rxWake >= 0) ::close(rxWake);
        if (txWake >= 0) ::close(txWake);
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<PosixCommDevice> device(
        new PosixCommDevice(path, fd, refersToPseudoTerminal(fd), rxWake, txWake));
    {
        // The first sample finds out whether the device has modem lines and error counts.
        std::lock_guard lock(device->mutex_);
        device->sampleLinesLocked();
        device->pendingEvents_ = 0;
    }
    return device;
}

PosixCommDevice::PosixCommDevice(std::string path, int fd, bool pty, int rxWake, int txWake)
    : path_(std::move(path)), pty_(pty), rxWake_(rxWake), txWake_(txWake), fd_(fd) {}

PosixCommDevice::~PosixCommDevice() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        if (fd_ >= 0) closeLocked();
    }
    ::close(rxWake_);
    ::close(txWake_);
}

int PosixCommDevice::acquire() {
    std::lock_guard lock(mutex_);
    if (closed_) return -1;
    ++users_;
    return fd_;
}

void PosixCommDevice::release() {
    std::lock_guard lock(mutex_);
    --users_;
    if (closed_ && users_ == 0 && fd_ >= 0) closeLocked();
}

void PosixCommDevice::closeLocked() {
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

void PosixCommDevice::close() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    closing_ = true;
    signalEvent(rxWake_);
    signalEvent(txWake_);
    if (users_ == 0) closeLocked();
}

void PosixCommDevice::pumpLocked(bool byWaiter) {
    if (closed_ || lost_) return;
    if (inHead_ > 0 && inHead_ * 2 >= inQueue_.size()) {
        inQueue_.erase(0, inHead_);
        inHead_ = 0;
    }
    bool came = false;
    char buf[4096];
    while (queuedLocked() < inLimit_) {
        const size_t room = std::min(sizeof buf, inLimit_ - queuedLocked());
        const ssize_t n = ::read(fd_, buf, room);
        if (n > 0) {
            inQueue_.append(buf, static_cast<size_t>(n));
            came = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        // End of file (a hang-up: the tty returns no bytes without one) or EIO: gone.
        lost_ = true;
        came = true;
        break;
    }
    if (came) {
        rxPending_ = rxPending_ || queuedLocked() > 0;
        // The receive thread may be waiting for bytes that were just taken from under it.
        if (!byWaiter) signalEvent(rxWake_);
    }
}

uint32_t PosixCommDevice::sampleLinesLocked() {
    if (closed_) return 0;
    uint32_t events = 0;
    if (modemLines_) {
        int lines = 0;
        if (::ioctl(fd_, TIOCMGET, &lines) == 0) {
            if (lastModem_ >= 0) {
                const int changed = lines ^ lastModem_;
                if (changed & TIOCM_CTS) events |= kCommEvCts;
                if (changed & TIOCM_DSR) events |= kCommEvDsr;
                if (changed & TIOCM_CD) events |= kCommEvRlsd;
                if (changed & lines & TIOCM_RNG) events |= kCommEvRing;
            }
            lastModem_ = lines;
        } else if (unsupported(errno)) {
            modemLines_ = false;
        }
    }
    if (errorCounts_) {
        serial_icounter_struct counts{};
        if (::ioctl(fd_, TIOCGICOUNT, &counts) == 0) {
            if (haveCounts_) {
                uint32_t errors = 0;
                if (counts.overrun != lastCounts_.overrun) errors |= kCommErrOverrun;
                if (counts.buf_overrun != lastCounts_.buf_overrun) errors |= kCommErrRxOver;
                if (counts.parity != lastCounts_.parity) errors |= kCommErrParity;
                if (counts.frame != lastCounts_.frame) errors |= kCommErrFrame;
                if (counts.brk != lastCounts_.brk) {
                    errors |= kCommErrBreak;
                    events |= kCommEvBreak;
                }
                if (errors) {
                    lineErrors_ |= errors;
                    events |= kCommEvErr;
                }
            }
            lastCounts_ = counts;
            haveCounts_ = true;
        } else if (unsupported(errno)) {
            errorCounts_ = false;
        }
    }
    pendingEvents_ |= events;
    return events;
}

bool PosixCommDevice::setBufferSizes(int inQueue, int outQueue) {
    // Linux sizes its tty buffers itself; the input length bounds the queue kept here, and the
    // output length is the component's chunk size.
    if (inQueue < 1 || outQueue < 1) return false;
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    inLimit_ = static_cast<size_t>(inQueue);
    signalEvent(rxWake_);
    return true;
}

bool PosixCommDevice::getState(CommDcb& dcb) {
    std::lock_guard lock(mutex_);
    termios t{};
    if (closed_ || ::tcgetattr(fd_, &t) != 0) return false;
    dcbFromTermios(t, dcb);
    return true;
}

bool PosixCommDevice::setState(const CommDcb& dcb) {
    std::lock_guard lock(mutex_);
    termios current{};
    if (closed_ || ::tcgetattr(fd_, &current) != 0) return false;
    termios wanted = current;
    if (!termiosFromDcb(dcb, wanted)) return false;
    bool applied = ::tcsetattr(fd_, TCSANOW, &wanted) == 0;
    if (applied) {
        // tcsetattr succeeds when any part was taken: check the line settings.
        termios actual{};
        applied = ::tcgetattr(fd_, &actual) == 0 && lineSettingsMatch(wanted, actual);
    }
    if (!applied) {
        if (!pty_) return false;
        // A pseudo-terminal keeps 8 data bits without parity and may refuse a request that
        // asks otherwise: the rest of the settings go in with what it keeps.
        wanted.c_cflag = (wanted.c_cflag & ~(CSIZE | PARENB | PARODD)) | CS8;
        ::tcsetattr(fd_, TCSANOW, &wanted);
    }
    waitForDsr_ = dcb.outxDsrFlow;
    setModemLineLocked(TIOCM_DTR, dcb.dtrControl != CommDtrControl::Disable);
    // With the handshake on, the driver drives RTS from here.
    setModemLineLocked(TIOCM_RTS, dcb.rtsControl != CommRtsControl::Disable);
    return true;
}

bool PosixCommDevice::setTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
    return !closed_;
}

bool PosixCommDevice::setEventMask(uint32_t mask) {
    std::lock_guard lock(mutex_);
    eventMask_ = mask;
    return !closed_;
}

bool PosixCommDevice::waitEvent(uint32_t& events) {
    events = 0;
    for (;;) {
        int fd;
        bool wantInput;
        int timeout;
        {
            std::lock_guard lock(mutex_);
            if (closed_ || cancelWait_) {
                cancelWait_ = false;
                return false;
            }
            pumpLocked(true);
            sampleLinesLocked();
            uint32_t happened = pendingEvents_;
            if (rxPending_) happened |= kCommEvRxChar;
            happened &= eventMask_;
            if (happened) {
                if (happened & kCommEvRxChar) rxPending_ = false;
                pendingEvents_ &= ~happened;
                events = happened;
                return true;
            }
            if (lost_) return false;
            ++users_;
            fd = fd_;
            // A full queue leaves the bytes in the kernel until a read makes room.
            wantInput = queuedLocked() < inLimit_;
            // Modem lines and error counts have no wait of their own that poll can join.
            timeout = (modemLines_ || errorCounts_) ? 50 : -1;
        }
        pollfd fds[2] = {{wantInput ? fd : -1, POLLIN, 0}, {rxWake_, POLLIN, 0}};
        ::poll(fds, 2, timeout);
        if (fds[1].revents) drainEvent(rxWake_);
        release();
    }
}

void PosixCommDevice::cancelWait() {
    std::lock_guard lock(mutex_);
    cancelWait_ = true;
    signalEvent(rxWake_);
}

uint32_t PosixCommDevice::takeLineErrors() {
    std::lock_guard lock(mutex_);
    sampleLinesLocked();
    const uint32_t errors = lineErrors_;
    lineErrors_ = 0;
    return errors;
}

int PosixCommDevice::inQueueCount() {
    std::lock_guard lock(mutex_);
    pumpLocked(false);
    return static_cast<int>(queuedLocked());
}

int PosixCommDevice::read(void* buffer, int count) {
    std::lock_guard lock(mutex_);
    if (closed_) return -1;
    pumpLocked(false);
    const size_t queued = queuedLocked();
    if (queued == 0 && lost_) return -1;
    const size_t n = std::min(queued, static_cast<size_t>(std::max(count, 0)));
    std::memcpy(buffer, inQueue_.data() + inHead_, n);
    inHead_ += n;
    if (queued >= inLimit_ && n > 0) signalEvent(rxWake_);  // room again for the kernel's bytes
    return static_cast<int>(n);
}

bool PosixCommDevice::dsrUp() {
    std::lock_guard lock(mutex_);
    int lines = 0;
    if (closed_ || !modemLines_ || ::ioctl(fd_, TIOCMGET, &lines) != 0) return true;
    return (lines & TIOCM_DSR) != 0;
}

int PosixCommDevice::write(const void* buffer, int count) {
    const char* bytes = static_cast<const char*>(buffer);
    const int fd = acquire();
    if (fd < 0) return -1;
    const uint64_t purges = outputPurges_;
    int64_t limit;
    {
        std::lock_guard lock(mutex_);
        limit = static_cast<int64_t>(timeouts_.writeMultiplier) * count + timeouts_.writeConstant;
    }
    const int64_t start = nowMs();
    int done = 0;
    bool failed = false;
    while (done < count && !closing_ && outputPurges_ == purges) {
        int waitMs = -1;
        if (limit > 0) {
            const int64_t left = limit - (nowMs() - start);
            if (left <= 0) break;  // the write time-out: the rest of the chunk is dropped
            waitMs = static_cast<int>(left);
        }
        if (waitForDsr_ && !dsrUp()) {
            pollfd wake{txWake_, POLLIN, 0};
            ::poll(&wake, 1, waitMs < 0 ? 10 : std::min(waitMs, 10));
            if (wake.revents) drainEvent(txWake_);
            continue;
        }
        const ssize_t n = ::write(fd, bytes + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd fds[2] = {{fd, POLLOUT, 0}, {txWake_, POLLIN, 0}};
            ::poll(fds, 2, waitMs);
            if (fds[1].revents) drainEvent(txWake_);
            if (!(fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) continue;
        }
        // EIO after a hang-up, or a hang-up seen by poll: the device is gone.
        lost_ = true;
        signalEvent(rxWake_);
        failed = true;
        break;
    }
    release();
    return failed ? -1 : done;
}

void PosixCommDevice::purgeOutput() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    ::tcflush(fd_, TCOFLUSH);
    ++outputPurges_;  // aborts a write that is waiting for room
    signalEvent(txWake_);
}

void PosixCommDevice::purgeInput() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    ::tcflush(fd_, TCIFLUSH);
    inQueue_.clear();
    inHead_ = 0;
    rxPending_ = false;
    signalEvent(rxWake_);
}

void PosixCommDevice::setModemLineLocked(int line, bool on) {
    if (closed_ || !modemLines_) return;
    int bits = line;
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0 && unsupported(errno))
        modemLines_ = false;
}

void PosixCommDevice::setRts(bool on) {
    std::lock_guard lock(mutex_);
    setModemLineLocked(TIOCM_RTS, on);
}

void PosixCommDevice::setDtr(bool on) {
    std::lock_guard lock(mutex_);
    setModemLineLocked(TIOCM_DTR, on);
}

std::unique_ptr<CommDevice> PosixCommDeviceProvider::open(int portNo) {
    return PosixCommDevice::open(devicePath(portNo));
}

bool PosixCommDeviceProvider::present(int portNo) {
    const std::string path = devicePath(portNo);
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::unique_ptr<CommDeviceProvider> makeSystemCommDevices(const Paths& paths) {
    return std::make_unique<PosixCommDeviceProvider>(paths);
}

}  // namespace qpane
