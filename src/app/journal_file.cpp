#include "app/journal_file.h"

#include <cerrno>

#include "platform/file_calls.h"

namespace qpane {

JournalFile::~JournalFile() {
    close();
}

bool JournalFile::open(const std::filesystem::path& path, bool truncate) {
    close();
    fd_ = file_calls::openToAppend(path, truncate);
    return fd_ >= 0;
}

void JournalFile::close() {
    if (fd_ >= 0) file_calls::closeFile(fd_);
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
            if (done > 0 && regular()) file_calls::truncateTo(fd_, before);
            errno = reason;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

long JournalFile::writeSome(int fd, const char* data, size_t size) {
    return file_calls::writeSome(fd, data, size);
}

uint64_t JournalFile::size() const {
    return file_calls::sizeOf(fd_);
}

bool JournalFile::regular() const {
    file_calls::FileKind kind{};
    return fd_ >= 0 && file_calls::kindOf(fd_, kind) && kind == file_calls::FileKind::Regular;
}

bool JournalFile::endsLine() const {
    const uint64_t n = size();
    if (n == 0) return true;
    char last = 0;
    return file_calls::readByteAt(fd_, n - 1, last) && last == '\n';
}

}  // namespace qpane
