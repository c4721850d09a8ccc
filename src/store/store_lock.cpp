#include "store/store_lock.h"

#include <system_error>

#include "platform/file_calls.h"

namespace qpane {

std::optional<StoreLock> StoreLock::tryTake(const std::filesystem::path& dataFolder) {
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    const int fd = file_calls::openToAppend(dataFolder / kFileName, false);
    if (fd < 0) return std::nullopt;
    if (!file_calls::lockExclusive(fd)) {
        file_calls::closeFile(fd);
        return std::nullopt;
    }
    return StoreLock(fd);
}

StoreLock& StoreLock::operator=(StoreLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) file_calls::closeFile(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

StoreLock::~StoreLock() {
    if (fd_ >= 0) file_calls::closeFile(fd_);
}

}  // namespace qpane
