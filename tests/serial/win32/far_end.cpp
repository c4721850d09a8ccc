#include "far_end.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/file_calls.h"

namespace qpane {

namespace fs = std::filesystem;

TempRoot::TempRoot() : path_(file_calls::makeTemporaryFolder("qpane-serial-")) {
    fs::create_directories(path_ / "dev");
}

TempRoot::~TempRoot() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

FarEnd::FarEnd(const fs::path&, int portNo) {
    const std::wstring name = L"\\\\.\\COM" + std::to_wstring(portNo + kPortOffset);
    handle_ = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OVERLAPPED, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        throw std::runtime_error("the far end's port COM" + std::to_string(portNo + kPortOffset) +
                                 " does not open (scripts/test-windows links it)");
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ::GetCommState(handle_, &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    ::SetCommState(handle_, &dcb);
    COMMTIMEOUTS t{MAXDWORD, 0, 0, 0, 0};
    ::SetCommTimeouts(handle_, &t);
    ::PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
    done_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

FarEnd::~FarEnd() {
    hangUp();
    if (done_) ::CloseHandle(done_);
}

size_t FarEnd::writeFor(std::string_view bytes, DWORD waitMs) {
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("far end cannot send");
    OVERLAPPED ov{};
    ov.hEvent = done_;
    ::ResetEvent(done_);
    DWORD n = 0;
    BOOL ok = ::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, &ov);
    if (!ok && ::GetLastError() == ERROR_IO_PENDING) {
        if (::WaitForSingleObject(done_, waitMs) == WAIT_TIMEOUT) ::CancelIoEx(handle_, &ov);
        ok = ::GetOverlappedResult(handle_, &ov, &n, TRUE);
    }
    return n;
}

void FarEnd::send(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t n = writeFor(bytes.substr(done), 100);
        done += n;
        if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

size_t FarEnd::trySend(std::string_view bytes) {
    return writeFor(bytes, 1);
}

std::string FarEnd::takeWaiting(size_t max) {
    std::string got;
    const size_t waiting = std::min(unread(), max);
    if (waiting == 0) return got;
    got.resize(waiting);
    OVERLAPPED ov{};
    ov.hEvent = done_;
    ::ResetEvent(done_);
    DWORD n = 0;
    BOOL ok = ::ReadFile(handle_, got.data(), static_cast<DWORD>(waiting), &n, &ov);
    if (!ok && ::GetLastError() == ERROR_IO_PENDING)
        ok = ::GetOverlappedResult(handle_, &ov, &n, TRUE);
    got.resize(ok ? n : 0);
    return got;
}

std::string FarEnd::receiveWhile(const Wanted& wanted, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    std::string got;
    auto quietSince = Clock::now();
    for (size_t more = wanted(got); more > 0 && handle_ != INVALID_HANDLE_VALUE;
         more = wanted(got)) {
        const std::string taken = takeWaiting(more);
        if (!taken.empty()) {
            got += taken;
            quietSince = Clock::now();
            continue;
        }
        if (Clock::now() - quietSince > std::chrono::milliseconds(timeoutMs)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return got;
}

size_t FarEnd::unread() const {
    DWORD errors = 0;
    COMSTAT status{};
    if (handle_ == INVALID_HANDLE_VALUE || !::ClearCommError(handle_, &errors, &status)) return 0;
    return status.cbInQue;
}

void FarEnd::hangUp() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace qpane
