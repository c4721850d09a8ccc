#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "platform/file_calls.h"

namespace qpane::file_calls {

namespace {

// Shared for reading and writing like a POSIX descriptor, never translating line ends. A
// folder does not open as a file on Windows: it is told as POSIX tells it.
int openWith(const std::filesystem::path& path, int flags) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        errno = EISDIR;
        return -1;
    }
    int fd = -1;
    const errno_t err = ::_wsopen_s(&fd, path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                                    _S_IREAD | _S_IWRITE);
    if (err != 0) {
        errno = err;
        return -1;
    }
    return fd;
}

}  // namespace

int openToRead(const std::filesystem::path& path) {
    return openWith(path, _O_RDONLY);
}

int createNew(const std::filesystem::path& path) {
    return openWith(path, _O_WRONLY | _O_CREAT | _O_EXCL);
}

int openToAppend(const std::filesystem::path& path, bool truncate) {
    return openWith(path, _O_RDWR | _O_CREAT | _O_APPEND | (truncate ? _O_TRUNC : 0));
}

int closeFile(int fd) {
    return ::_close(fd);
}

long readSome(int fd, char* buffer, size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}

long writeSome(int fd, const char* data, size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}

bool readByteAt(int fd, uint64_t offset, char& byte) {
    // Appends go to the end whatever the position; the position is put back all the same.
    const __int64 at = ::_telli64(fd);
    if (at < 0 || ::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
    const bool read = ::_read(fd, &byte, 1) == 1;
    ::_lseeki64(fd, at, SEEK_SET);
    return read;
}

bool kindOf(int fd, FileKind& kind) {
    struct _stat64 st {};
    if (::_fstat64(fd, &st) != 0) return false;
    kind = (st.st_mode & _S_IFMT) == _S_IFREG   ? FileKind::Regular
           : (st.st_mode & _S_IFMT) == _S_IFDIR ? FileKind::Folder
                                                : FileKind::Other;
    return true;
}

uint64_t sizeOf(int fd) {
    struct _stat64 st {};
    if (fd < 0 || ::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool truncateTo(int fd, uint64_t size) {
    const errno_t err = ::_chsize_s(fd, static_cast<__int64>(size));
    if (err != 0) errno = err;
    return err == 0;
}

bool lockExclusive(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED at{};
    return ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                        MAXDWORD, &at) != 0;
}

bool syncFile(int fd) {
    return ::_commit(fd) == 0;
}

void syncFolder(const std::filesystem::path&) {
    // The entries of a folder reach the disk with the file replaced (MOVEFILE_WRITE_THROUGH).
}

bool permissionsOf(const std::filesystem::path& path, unsigned& bits) {
    struct _stat64 st {};
    if (::_wstat64(path.c_str(), &st) != 0) return false;
    bits = st.st_mode & 0777;
    return true;
}

bool setPermissions(int, unsigned) {
    // A file made in the folder takes the folder's access rules; there are no bits to carry.
    return true;
}

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
        default: errno = EACCES; break;
    }
    return false;
}

void removeFile(const std::filesystem::path& path) {
    ::_wunlink(path.c_str());
}

bool randomBytes(unsigned char* bytes, size_t size) {
    try {
        std::random_device source;
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(source());
        return true;
    } catch (...) {
        return false;
    }
}

unsigned processId() {
    return static_cast<unsigned>(::_getpid());
}

std::tm localTime(std::time_t t) {
    std::tm tm{};
    ::localtime_s(&tm, &t);
    return tm;
}

std::filesystem::path makeTemporaryFolder(const std::string& prefix) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char bytes[6];
        if (!randomBytes(bytes, sizeof bytes)) break;
        std::string name = prefix;
        for (unsigned char b : bytes)
            name += kLetters[b % (sizeof kLetters - 1)];
        std::error_code ec;
        if (std::filesystem::create_directory(base / name, ec)) return base / name;
        if (ec) break;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

void setBinaryStandardStreams() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace qpane::file_calls
