#include "store/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <system_error>

namespace qpane {

std::optional<StoreLock> StoreLock::tryTake(const std::filesystem::path& dataFolder) {
    std::error_code ec;
    std::filesystem::create_directories(dataFolder, ec);
    const int fd = ::open((dataFolder / kFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return std::nullopt;
    // flock, not fcntl: its lock belongs to this open file, so a second window of the same
    // process on the same store is seen as well, and closing another descriptor of the file
    // does not drop it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return StoreLock(fd);
}

StoreLock& StoreLock::operator=(StoreLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

StoreLock::~StoreLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace qpane
