#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/paths.h"
#include "serial/comm_device.h"
#include "serial/mapped_device_provider.h"

namespace qpane {

// A serial device through the Win32 communications calls, opened for overlapped input and
// output. The driver keeps the input queue, the XON/XOFF limits and the handshakes; this
// layer adds what the component asks beyond them: reads that return at once, a wait for port
// events that another thread can end, and a write time-out that also holds on drivers that
// do not keep one (the write is cancelled when its time has passed).
//
// The line error word of ClearCommError is gathered by every call that reads it (the input
// queue length reads it too), so that no error is lost between two takeLineErrors().
//
// Calls that a device does not support are skipped for that device: EscapeCommFunction on a
// port without modem lines, and the events that WaitCommEvent cannot watch on it (Wine on a
// pseudo-terminal has neither modem lines nor error counts).
class Win32CommDevice final : public CommDevice {
  public:
    // Opens path (\\.\COMn) for reading and writing, not shared, existing device only,
    // overlapped; nullptr when it is missing, in use or not a communications device.
    static std::unique_ptr<Win32CommDevice> open(const std::string& path);
    ~Win32CommDevice() override;

    std::string name() const override { return path_; }

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
    Win32CommDevice(std::string path, HANDLE handle, HANDLE hold, HANDLE waitDone, HANDLE readDone,
                    HANDLE writeDone, HANDLE cancel);

    // The handle for a call outside the lock, or nullptr; release() after the call. The
    // handle is closed only when nobody uses it any more.
    HANDLE acquire();
    void release();
    void closeLocked();
    // A failed call: the device counts as gone unless the call was aborted or timed out.
    void noteFailure(DWORD error);
    // WaitCommEvent refused the mask: the events that the device cannot watch are left out
    // from now on. False when nothing is left to leave out.
    bool dropUnsupportedEvents();
    // ClearCommError: gathers the error word; the input queue length, or -1.
    int clearErrorsLocked();

    const std::string path_;
    const HANDLE hold_;       // the named mutex that holds the port for this opening
    const HANDLE waitDone_;   // completion of WaitCommEvent (manual reset)
    const HANDLE readDone_;   // completion of ReadFile (manual reset)
    const HANDLE writeDone_;  // completion of WriteFile (manual reset)
    const HANDLE cancel_;     // ends a wait for port events (manual reset)

    mutable std::mutex mutex_;
    HANDLE handle_;
    bool closed_ = false;
    int users_ = 0;
    bool cancelWait_ = false;
    std::atomic<bool> lost_{false};
    OVERLAPPED* pendingWrite_ = nullptr;  // the write in progress, for a purge to cancel
    uint32_t eventMask_ = 0;
    uint32_t supportedEvents_ = 0xFFFFFFFF;  // the events that the device can watch
    uint32_t lineErrors_ = 0;
    CommTimeouts timeouts_;
};

// Opens the COM name of the port map's entry for port n, else Paths::portDevice(n), \\.\COMn.
class Win32CommDeviceProvider final : public MappedDeviceProvider {
  public:
    using MappedDeviceProvider::MappedDeviceProvider;
    std::unique_ptr<CommDevice> open(int portNo) override;
    bool present(int portNo) override;
};

}  // namespace qpane
