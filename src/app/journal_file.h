#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace qpane {

// The file that the traffic journal appends to: the journal's only way to the disk, so that a
// test can make its writes fail part way (a disk that fills in the middle of a record).
// Records go out in one write each, unbuffered: a console that is killed loses nothing that
// was journaled, and a failure is seen at the record that met it.
class JournalFile {
  public:
    JournalFile() = default;
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;
    virtual ~JournalFile();

    // Opens path for appending, creating it when missing, emptying it with truncate. False,
    // with errno telling why, when it cannot be opened.
    bool open(const std::filesystem::path& path, bool truncate);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Appends all of bytes, or nothing: a write that stops part way is taken back, so that
    // the file keeps ending with a whole record. False, with errno telling why, when the
    // bytes did not all go out.
    bool append(std::string_view bytes);

    // The bytes in the open file; 0 for a device.
    uint64_t size() const;
    // Whether the open file is a regular file (not a device such as /dev/null or /dev/full):
    // only a regular file is moved aside when it grows too large.
    bool regular() const;
    // Whether the open file's last byte ends a line (true for an empty file).
    bool endsLine() const;

  protected:
    // One write of the open file: the bytes written, or -1 with errno set.
    virtual long writeSome(int fd, const char* data, size_t size);

  private:
    int fd_ = -1;
};

}  // namespace qpane
