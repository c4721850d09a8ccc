#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

// The system calls on files that the settings file and the traffic journal make, one file
// per platform behind them. Descriptors are the C library's; a failure returns -1 or false
// with errno telling why, so that callers report std::strerror(errno) on every platform.
namespace qpane::file_calls {

enum class FileKind { Regular, Folder, Other };

// Reading, without waiting for a writer where the path is a FIFO.
int openToRead(const std::filesystem::path& path);
// A new file for writing: EEXIST when the name is taken (a link included, which is not
// followed).
int createNew(const std::filesystem::path& path);
// Reading and appending, created when missing, emptied with truncate.
int openToAppend(const std::filesystem::path& path, bool truncate);
int closeFile(int fd);

long readSome(int fd, char* buffer, size_t size);
long writeSome(int fd, const char* data, size_t size);
// The byte at offset, without moving the position of appends.
bool readByteAt(int fd, uint64_t offset, char& byte);
bool kindOf(int fd, FileKind& kind);
// The size of a regular file; 0 for anything else or a failure.
uint64_t sizeOf(int fd);
bool truncateTo(int fd, uint64_t size);
// An advisory lock of the whole file that belongs to this open file: a second opening, in
// this process or another, cannot take it; closing another descriptor of the file does not
// drop it, and the system drops it with the process. False at once when another holds it.
bool lockExclusive(int fd);
// The written bytes on the disk.
bool syncFile(int fd);
// The folder's entries on the disk (where the system has such a call; else nothing).
void syncFolder(const std::filesystem::path& folder);

// The permission bits of path (false with ENOENT when it is missing), and of an open file.
bool permissionsOf(const std::filesystem::path& path, unsigned& bits);
bool setPermissions(int fd, unsigned bits);
// Puts from in the place of to, in one step for any reader of to.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
void removeFile(const std::filesystem::path& path);

// Bytes from the system's random source; false when it has none to give at once.
bool randomBytes(unsigned char* bytes, size_t size);
unsigned processId();
// The local time of t.
std::tm localTime(std::time_t t);

// A new folder of its own in the system's temporary folder, named prefix + a unique end;
// std::runtime_error when none can be made.
std::filesystem::path makeTemporaryFolder(const std::string& prefix);
// Standard input and output carry bytes as they are (no line-end translation).
void setBinaryStandardStreams();

}  // namespace qpane::file_calls
