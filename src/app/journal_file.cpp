#include "app/journal_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qpane {

JournalFile::~JournalFile() {
    close();
}

bool JournalFile::open(const std::filesystem::path& path, bool truncate) {
    close();
    const int flags = O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
    fd_ = ::open(path.c_str(), flags, 0644);
    return fd_ >= 0;
}

void JournalFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool JournalFile::append(std::string_view bytes) {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    const uint64_t before = size();
    size_t done = 0;
    while (done < bytes.size()) {
        const long n = writeSome(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int reason = n < 0 ? errno : ENOSPC;
            // Half a record would make the rest of the file unreadable to the replay.
            if (done > 0 && regular()) {
                while (::ftruncate(fd_, static_cast<off_t>(before)) < 0 && errno == EINTR) {
                }
            }
            errno = reason;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

long JournalFile::writeSome(int fd, const char* data, size_t size) {
    return static_cast<long>(::write(fd, data, size));
}

uint64_t JournalFile::size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) < 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool JournalFile::regular() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}

bool JournalFile::endsLine() const {
    const uint64_t n = size();
    if (n == 0) return true;
    char last = 0;
    return ::pread(fd_, &last, 1, static_cast<off_t>(n - 1)) == 1 && last == '\n';
}

}  // namespace qpane
