#pragma once

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_backup;

namespace qpane {

// Copies of the result store in a folder beside it, taken with SQLite's online backup: the
// copy reads the store page by page through the connection that writes it, so a write made
// between two steps reaches the copy as well, and the copy is always one consistent state of
// the store. A copy is written under a temporary name and takes its own name only once it is
// complete: a copy that fails midway (a full disk, the program ending) leaves no file that
// looks like a backup.
//
// Names sort by the time the copy started: QPANEData-YYYYMMDD-HHMMSS-mmm.db in UTC (a local
// clock that is set back would make them sort wrongly), with a suffix after the time for a
// copy taken for a reason of its own (QPANEData-...-before-restore.db).

// <data folder>/backups.
std::filesystem::path backupFolderOf(const std::filesystem::path& dataFolder);

// How many backups the folder keeps.
inline constexpr size_t kBackupsKept = 20;

// The name of a backup that starts at t; suffix without its leading "-".
std::string backupName(std::chrono::system_clock::time_point t, std::string_view suffix = {});

// A name of the folder's backups (not a temporary file, nothing else).
bool isBackupName(std::string_view name);

// The backups in the folder, oldest first; none when the folder is missing.
std::vector<std::string> backupNames(const std::filesystem::path& folder);

// Removes the oldest backups until `keep` are left, and temporary files that a copy which
// never finished left behind. Files that cannot be removed stay; nothing else is touched.
void pruneBackups(const std::filesystem::path& folder, size_t keep = kBackupsKept);

// One copy of a database into the folder, made in steps.
class SteppedBackup {
  public:
    static constexpr const char* kTemporarySuffix = ".partial";

    // Starts a copy of source's main database into folder/name (the folder is made when
    // missing; a file of that name is never overwritten: the time in the name moves on by a
    // millisecond until the name is free). vfs: the SQLite VFS of the copy, empty for the
    // default. Throws EDatabaseError when the copy cannot start.
    SteppedBackup(sqlite3* source, const std::filesystem::path& folder,
                  std::chrono::system_clock::time_point started, std::string_view suffix = {},
                  const std::string& vfs = {});
    // A copy that has not finished is abandoned: its temporary file is removed.
    ~SteppedBackup();
    SteppedBackup(const SteppedBackup&) = delete;
    SteppedBackup& operator=(const SteppedBackup&) = delete;

    // Copies up to `pages` pages (-1: all that are left, and waits for the disk to hold
    // them). True once the copy is complete, flushed to the disk and under its name; after
    // the last page the flush runs on a thread of its own, and later steps return false
    // until it has ended. While the store is locked by another connection the step copies nothing
    // and returns false. Throws EDatabaseError when the copy fails; its temporary file is
    // removed and the copy is over (later steps throw again).
    bool step(int pages);

    bool done() const { return done_; }
    // The copy's file once it is complete.
    const std::filesystem::path& file() const { return file_; }
    // Pages copied and pages in all, after the first step.
    int copiedPages() const { return total_ - remaining_; }
    int totalPages() const { return total_; }

  private:
    void abandon();
    [[noreturn]] void fail(int code, const std::string& text);

    std::filesystem::path file_;
    std::filesystem::path temporary_;
    sqlite3* target_ = nullptr;
    sqlite3_backup* backup_ = nullptr;
    std::future<int> flushed_;  // errno of the flush of the complete copy
    bool done_ = false;
    bool failed_ = false;
    std::string failure_;
    int failureCode_ = 0;
    int total_ = 0;
    int remaining_ = 0;
};

// Copies the whole database at `from` (a store file or a backup) into a new backup in
// folder, at once; returns its name. For a store that nothing writes at the moment.
// Throws EDatabaseError.
std::string backupFileAtOnce(const std::filesystem::path& from, const std::filesystem::path& folder,
                             std::chrono::system_clock::time_point started,
                             std::string_view suffix = {});

}  // namespace qpane
