#pragma once

#include <filesystem>
#include <optional>

namespace qpane {

// The mark of a console that has the store open: an advisory lock on QPANEData.lock in the
// data folder, held from the window's creation to its end. The system drops it with the
// process, so a console that crashed leaves no stale mark. Tools that must not run beside a
// console (restoring a backup) take it themselves and refuse when they cannot.
class StoreLock {
  public:
    static constexpr const char* kFileName = "QPANEData.lock";

    // The lock of the store in dataFolder; std::nullopt when another holder has it (or the
    // lock file cannot be made: then nobody can take it, and a tool refuses to go on).
    static std::optional<StoreLock> tryTake(const std::filesystem::path& dataFolder);

    StoreLock(StoreLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    StoreLock& operator=(StoreLock&& other) noexcept;
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock();

  private:
    explicit StoreLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace qpane
