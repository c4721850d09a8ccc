#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "platform/file_calls.h"

namespace qpane::file_calls {

int openToRead(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

int createNew(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

int openToAppend(const std::filesystem::path& path, bool truncate) {
    const int flags = O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
    return ::open(path.c_str(), flags, 0644);
}

int closeFile(int fd) {
    return ::close(fd);
}

long readSome(int fd, char* buffer, size_t size) {
    return static_cast<long>(::read(fd, buffer, size));
}

long writeSome(int fd, const char* data, size_t size) {
    return static_cast<long>(::write(fd, data, size));
}

bool readByteAt(int fd, uint64_t offset, char& byte) {
    return ::pread(fd, &byte, 1, static_cast<off_t>(offset)) == 1;
}

bool kindOf(int fd, FileKind& kind) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    kind = S_ISREG(st.st_mode)   ? FileKind::Regular
           : S_ISDIR(st.st_mode) ? FileKind::Folder
                                 : FileKind::Other;
    return true;
}

uint64_t sizeOf(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) < 0 || !S_ISREG(st.st_mode)) return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool truncateTo(int fd, uint64_t size) {
    int r;
    while ((r = ::ftruncate(fd, static_cast<off_t>(size))) < 0 && errno == EINTR) {
    }
    return r == 0;
}

bool lockExclusive(int fd) {
    // flock, not fcntl: an fcntl lock belongs to the process and is lost when any of its
    // descriptors of the file closes.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool syncFile(int fd) {
    return ::fsync(fd) == 0;
}

void syncFolder(const std::filesystem::path& folder) {
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool permissionsOf(const std::filesystem::path& path, unsigned& bits) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    bits = st.st_mode & 0777;
    return true;
}

bool setPermissions(int fd, unsigned bits) {
    return ::fchmod(fd, bits) == 0;
}

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::filesystem::path& path) {
    ::unlink(path.c_str());
}

bool randomBytes(unsigned char* bytes, size_t size) {
    return ::getrandom(bytes, size, GRND_NONBLOCK) == static_cast<ssize_t>(size);
}

unsigned processId() {
    return static_cast<unsigned>(::getpid());
}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

std::filesystem::path makeTemporaryFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

void setBinaryStandardStreams() {}

}  // namespace qpane::file_calls
