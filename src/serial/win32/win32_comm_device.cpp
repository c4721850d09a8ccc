#include "serial/win32/win32_comm_device.h"

#include <algorithm>

#include "serial/system_comm_devices.h"
#include "serial/win32/win32_dcb.h"

namespace qpane {

namespace {

std::wstring wide(const std::string& utf8) {
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

// The ends of a call that leave the device as it was: a purge or a cancel aborted it, or its
// time-out passed.
bool endedByAbortOrTimeout(DWORD error) {
    return error == ERROR_OPERATION_ABORTED || error == ERROR_SEM_TIMEOUT ||
           error == ERROR_TIMEOUT || error == ERROR_COUNTER_TIMEOUT;
}

}  // namespace

std::unique_ptr<Win32CommDevice> Win32CommDevice::open(const std::string& path) {
    // The drivers keep a port to one opening; the name of the port held also keeps out a
    // second opening where the driver lets it through (Wine's, on any device).
    std::wstring holdName =
        L"Local\\qpane-serial-" + wide(path.substr(path.find_last_of("\\/") + 1));
    const HANDLE hold = ::CreateMutexW(nullptr, FALSE, holdName.c_str());
    if (!hold) return nullptr;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(hold);
        return nullptr;
    }
    const HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ::CloseHandle(hold);
        return nullptr;
    }
    // Only a communications device has a device control block.
    DCB block{};
    block.DCBlength = sizeof block;
    if (!::GetCommState(handle, &block)) {
        ::CloseHandle(handle);
        ::CloseHandle(hold);
        return nullptr;
    }
    HANDLE events[4] = {};
    for (HANDLE& e : events) {
        e = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!e) {
            for (HANDLE made : events)
                if (made) ::CloseHandle(made);
            ::CloseHandle(handle);
            ::CloseHandle(hold);
            return nullptr;
        }
    }
    return std::unique_ptr<Win32CommDevice>(
        new Win32CommDevice(path, handle, hold, events[0], events[1], events[2], events[3]));
}

Win32CommDevice::Win32CommDevice(std::string path, HANDLE handle, HANDLE hold, HANDLE waitDone,
                                 HANDLE readDone, HANDLE writeDone, HANDLE cancel)
    : path_(std::move(path)),
      hold_(hold),
      waitDone_(waitDone),
      readDone_(readDone),
      writeDone_(writeDone),
      cancel_(cancel),
      handle_(handle) {}

Win32CommDevice::~Win32CommDevice() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        if (handle_) closeLocked();
    }
    for (HANDLE e : {waitDone_, readDone_, writeDone_, cancel_})
        ::CloseHandle(e);
}

HANDLE Win32CommDevice::acquire() {
    std::lock_guard lock(mutex_);
    if (closed_) return nullptr;
    ++users_;
    return handle_;
}

void Win32CommDevice::release() {
    std::lock_guard lock(mutex_);
    --users_;
    if (closed_ && users_ == 0 && handle_) closeLocked();
}

void Win32CommDevice::closeLocked() {
    ::CloseHandle(handle_);
    handle_ = nullptr;
    ::CloseHandle(hold_);
}

void Win32CommDevice::close() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    // Every call still running on the handle ends: the event wait, a write waiting for
    // room.
    ::SetEvent(cancel_);
    ::CancelIoEx(handle_, nullptr);
    if (users_ == 0) closeLocked();
}

void Win32CommDevice::noteFailure(DWORD error) {
    if (!endedByAbortOrTimeout(error)) lost_ = true;
}

int Win32CommDevice::clearErrorsLocked() {
    DWORD errors = 0;
    COMSTAT status{};
    if (closed_ || !::ClearCommError(handle_, &errors, &status)) return -1;
    lineErrors_ |= errors;
    return static_cast<int>(status.cbInQue);
}

bool Win32CommDevice::setBufferSizes(int inQueue, int outQueue) {
    if (inQueue < 1 || outQueue < 1) return false;
    std::lock_guard lock(mutex_);
    return !closed_ &&
           ::SetupComm(handle_, static_cast<DWORD>(inQueue), static_cast<DWORD>(outQueue));
}

bool Win32CommDevice::getState(CommDcb& dcb) {
    std::lock_guard lock(mutex_);
    DCB block{};
    block.DCBlength = sizeof block;
    if (closed_ || !::GetCommState(handle_, &block)) return false;
    commDcbFromWin32Dcb(block, dcb);
    return true;
}

bool Win32CommDevice::setState(const CommDcb& dcb) {
    std::lock_guard lock(mutex_);
    DCB block{};
    block.DCBlength = sizeof block;
    if (closed_ || !::GetCommState(handle_, &block)) return false;
    if (!win32DcbFromCommDcb(dcb, block)) return false;
    return ::SetCommState(handle_, &block);
}

bool Win32CommDevice::setTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    COMMTIMEOUTS t = win32Timeouts(timeouts);
    if (!::SetCommTimeouts(handle_, &t)) return false;
    timeouts_ = timeouts;
    return true;
}

bool Win32CommDevice::setEventMask(uint32_t mask) {
    std::lock_guard lock(mutex_);
    if (closed_ || !::SetCommMask(handle_, mask & supportedEvents_)) return false;
    eventMask_ = mask;
    return true;
}

bool Win32CommDevice::dropUnsupportedEvents() {
    // First the events of the error counts (break, line errors), then those of the modem
    // lines: what is left is the received-character event, which every port has.
    std::lock_guard lock(mutex_);
    constexpr uint32_t kCountEvents = kCommEvBreak | kCommEvErr;
    constexpr uint32_t kLineEvents = kCommEvCts | kCommEvDsr | kCommEvRlsd | kCommEvRing;
    if (supportedEvents_ & kCountEvents)
        supportedEvents_ &= ~kCountEvents;
    else if (supportedEvents_ & kLineEvents)
        supportedEvents_ &= ~kLineEvents;
    else
        return false;
    return !closed_ && ::SetCommMask(handle_, eventMask_ & supportedEvents_);
}

bool Win32CommDevice::waitEvent(uint32_t& events) {
    events = 0;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (closed_ || cancelWait_) {
                cancelWait_ = false;
                if (!closed_) ::ResetEvent(cancel_);
                return false;
            }
            if (lost_) return false;
        }
        const HANDLE handle = acquire();
        if (!handle) return false;
        OVERLAPPED ov{};
        ov.hEvent = waitDone_;
        ::ResetEvent(waitDone_);
        DWORD mask = 0;
        BOOL done = ::WaitCommEvent(handle, &mask, &ov);
        DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
        if (!done && error == ERROR_IO_PENDING) {
            const HANDLE waits[2] = {waitDone_, cancel_};
            if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
                ::CancelIoEx(handle, &ov);
            DWORD unused = 0;
            done = ::GetOverlappedResult(handle, &ov, &unused, TRUE);
            error = done ? ERROR_SUCCESS : ::GetLastError();
        }
        release();
        if (!done && error == ERROR_NOT_SUPPORTED && dropUnsupportedEvents()) continue;
        if (!done) {
            noteFailure(error);
            if (lost_) return false;
            // A cancel (the top of the loop tells which), or a wait that the driver aborted:
            // Wine aborts the waits on a line whose far end hung up, again and again.
            ::Sleep(1);
            continue;
        }
        mask &= eventMask_;
        if (mask) {
            events = mask;
            return true;
        }
        // A change of the event mask ends a wait with no event: wait again.
    }
}

void Win32CommDevice::cancelWait() {
    std::lock_guard lock(mutex_);
    cancelWait_ = true;
    ::SetEvent(cancel_);
}

uint32_t Win32CommDevice::takeLineErrors() {
    std::lock_guard lock(mutex_);
    clearErrorsLocked();
    const uint32_t errors = lineErrors_;
    lineErrors_ = 0;
    return errors;
}

int Win32CommDevice::inQueueCount() {
    std::lock_guard lock(mutex_);
    return std::max(clearErrorsLocked(), 0);
}

int Win32CommDevice::read(void* buffer, int count) {
    std::lock_guard lock(mutex_);
    if (closed_) return -1;
    // Only what is waiting is asked for: a driver that does not keep "return at once"
    // time-outs for overlapped reads (Wine's) would otherwise hold the read until bytes come.
    const int waiting = clearErrorsLocked();
    if (waiting < 0) {
        noteFailure(::GetLastError());
        return -1;
    }
    if (count <= 0 || waiting == 0) return 0;
    OVERLAPPED ov{};
    ov.hEvent = readDone_;
    ::ResetEvent(readDone_);
    DWORD n = 0;
    BOOL done = ::ReadFile(handle_, buffer, static_cast<DWORD>(std::min(count, waiting)), &n, &ov);
    if (!done && ::GetLastError() == ERROR_IO_PENDING)
        done = ::GetOverlappedResult(handle_, &ov, &n, TRUE);  // the time-outs end it at once
    if (!done) {
        const DWORD error = ::GetLastError();
        if (endedByAbortOrTimeout(error)) return static_cast<int>(n);
        noteFailure(error);
        return -1;
    }
    return static_cast<int>(n);
}

int Win32CommDevice::write(const void* buffer, int count) {
    const HANDLE handle = acquire();
    if (!handle) return -1;
    OVERLAPPED ov{};
    ov.hEvent = writeDone_;
    ::ResetEvent(writeDone_);
    int64_t limit;
    {
        std::lock_guard lock(mutex_);
        limit = static_cast<int64_t>(timeouts_.writeMultiplier) * count + timeouts_.writeConstant;
        pendingWrite_ = &ov;
    }
    DWORD n = 0;
    BOOL done = ::WriteFile(handle, buffer, static_cast<DWORD>(std::max(count, 0)), &n, &ov);
    DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    if (!done && error == ERROR_IO_PENDING) {
        const DWORD waitMs =
            limit > 0 ? static_cast<DWORD>(std::min<int64_t>(limit, 0x7FFFFFFF)) : INFINITE;
        // The write time-out: what did not get out by then is dropped.
        if (::WaitForSingleObject(writeDone_, waitMs) == WAIT_TIMEOUT) ::CancelIoEx(handle, &ov);
        done = ::GetOverlappedResult(handle, &ov, &n, TRUE);
        error = done ? ERROR_SUCCESS : ::GetLastError();
    }
    {
        std::lock_guard lock(mutex_);
        pendingWrite_ = nullptr;
    }
    release();
    if (done || endedByAbortOrTimeout(error)) return static_cast<int>(n);
    noteFailure(error);
    return -1;
}

void Win32CommDevice::purgeOutput() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    ::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
    // A driver that does not abort a write waiting for room has it cancelled.
    if (pendingWrite_) ::CancelIoEx(handle_, pendingWrite_);
}

void Win32CommDevice::purgeInput() {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    ::PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
}

void Win32CommDevice::setRts(bool on) {
    std::lock_guard lock(mutex_);
    if (!closed_) ::EscapeCommFunction(handle_, on ? SETRTS : CLRRTS);
}

void Win32CommDevice::setDtr(bool on) {
    std::lock_guard lock(mutex_);
    if (!closed_) ::EscapeCommFunction(handle_, on ? SETDTR : CLRDTR);
}

std::unique_ptr<CommDevice> Win32CommDeviceProvider::open(int portNo) {
    return Win32CommDevice::open(devicePath(portNo));
}

// A COM port is there when the system's list of them names it.
bool Win32CommDeviceProvider::present(int portNo) {
    const std::string path = devicePath(portNo);
    const std::string name = path.rfind("\\\\.\\", 0) == 0 ? path.substr(4) : path;
    char target[512];
    return ::QueryDosDeviceA(name.c_str(), target, sizeof target) != 0;
}

std::unique_ptr<CommDeviceProvider> makeSystemCommDevices(const Paths& paths) {
    return std::make_unique<Win32CommDeviceProvider>(paths);
}

}  // namespace qpane
