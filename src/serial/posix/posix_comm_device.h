#pragma once

#include <linux/serial.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/paths.h"
#include "serial/comm_device.h"
#include "serial/mapped_device_provider.h"

namespace qpane {

// A serial device through termios. The driver's input queue of the component is kept here:
// the bytes are taken from the tty as they come (by the receive thread's wait, and by reads
// and queue counts), up to the input buffer length; beyond it they wait in the kernel, whose
// flow control then holds the far end. A received-character event means "bytes came since the
// last event", as on Windows, not "bytes are waiting".
//
// Calls that a device does not support (modem lines and error counts of a pseudo-terminal)
// are skipped for that device. A pseudo-terminal keeps 8 data bits without parity whatever is
// asked, so its line settings count as applied.
class PosixCommDevice final : public CommDevice {
  public:
    // Opens path non-blocking, without becoming its controlling terminal, for this process
    // alone (a lock on the device, and TIOCEXCL where the caller is not privileged); nullptr
    // when it is missing, not a terminal or in use.
    static std::unique_ptr<PosixCommDevice> open(const std::string& path);
    ~PosixCommDevice() override;

    std::string name() const override { return path_; }
    bool isPseudoTerminal() const { return pty_; }

    bool setBufferSizes(int inQueue, int outQueue) override;
    bool getState(CommDcb& dcb) override;
    bool setState(const CommDcb& dcb) override;
    bool setTimeouts(const CommTimeouts& timeouts) override;
    bool setEventMask(uint32_t mask) override;
    bool waitEvent(uint32_t& events) override;
    void cancelWait() override;
    uint32_t takeLineErrors() override;
    int inQueueCount() override;
    int read(void* buffer, int count) override;
    int write(const void* buffer, int count) override;
    void purgeOutput() override;
    void purgeInput() override;
    void setRts(bool on) override;
    void setDtr(bool on) override;
    bool lost() const override { return lost_; }
    void close() override;

  private:
    PosixCommDevice(std::string path, int fd, bool pty, int rxWake, int txWake);

    // The descriptor for a wait outside the lock, or -1; release() after the wait. The
    // descriptor is closed only when nobody waits on it any more.
    int acquire();
    void release();
    void closeLocked();
    // Takes what the tty has into the input queue, up to its length.
    // byWaiter: the receive thread itself, which needs no wake-up for what it takes.
    void pumpLocked(bool byWaiter);
    // Samples modem lines and error counts; returns the events they raise.
    uint32_t sampleLinesLocked();
    void setModemLineLocked(int line, bool on);
    bool dsrUp();
    size_t queuedLocked() const { return inQueue_.size() - inHead_; }

    const std::string path_;
    const bool pty_;
    const int rxWake_;  // eventfd that ends a wait of the receive thread
    const int txWake_;  // eventfd that ends a wait of a write

    mutable std::mutex mutex_;
    int fd_;
    bool closed_ = false;
    int users_ = 0;
    bool cancelWait_ = false;
    std::atomic<bool> lost_{false};
    std::atomic<bool> closing_{false};
    std::atomic<uint64_t> outputPurges_{0};

    std::string inQueue_;
    size_t inHead_ = 0;
    size_t inLimit_ = 2048;
    bool rxPending_ = false;
    uint32_t eventMask_ = 0;
    uint32_t lineErrors_ = 0;
    uint32_t pendingEvents_ = 0;  // sampled, not yet reported by waitEvent

    bool modemLines_ = true;
    int lastModem_ = -1;
    bool errorCounts_ = true;
    bool haveCounts_ = false;
    serial_icounter_struct lastCounts_{};
    CommTimeouts timeouts_;
    std::atomic<bool> waitForDsr_{false};
};

// Opens the device of the port map's entry for port n, else Paths::portDevice(n).
class PosixCommDeviceProvider final : public MappedDeviceProvider {
  public:
    using MappedDeviceProvider::MappedDeviceProvider;
    std::unique_ptr<CommDevice> open(int portNo) override;
    bool present(int portNo) override;
};

}  // namespace qpane
