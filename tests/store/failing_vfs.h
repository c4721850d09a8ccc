#pragma once

#include <sqlite3.h>

#include <string>

namespace qpane::testing {

// A SQLite VFS over the default one whose files fail on request: writes (a disk that is full),
// syncs (a disk that cannot confirm what it wrote), opens (a folder or a file that cannot be
// reached), or a store file that opens read-only, as one without write permission does for a
// user who is not root. Only connections opened through its name use it; the default VFS is
// left as it is. One test at a time uses an instance: its state is not guarded for threads.
class FailingVfs {
  public:
    // The files a fault applies to, as SQLite opens them.
    enum FileKind : int {
        kStoreFile = 1,  // the database itself
        kJournal = 2,    // the rollback journal
        kWal = 4,        // the write-ahead log
        kAnyFile = 7,
    };

    // Registers the VFS under `name`, not as the default.
    explicit FailingVfs(std::string name = "failing");
    ~FailingVfs();
    FailingVfs(const FailingVfs&) = delete;
    FailingVfs& operator=(const FailingVfs&) = delete;

    const std::string& name() const { return name_; }

    // The first `after` writes to files of `kinds` succeed; every later one fails with `code`
    // and writes nothing, until heal(). SQLITE_FULL is what a full disk gives.
    void failWrites(int after = 0, int code = SQLITE_FULL, int kinds = kAnyFile);
    // As failWrites, for syncs; they fail with SQLITE_IOERR_FSYNC.
    void failSyncs(int after = 0, int kinds = kAnyFile);
    // As failWrites, for opens; they fail with SQLITE_CANTOPEN.
    void failOpens(int after = 0, int kinds = kAnyFile);
    // The store file opens read-only from now on (a file opened before keeps its mode).
    void openStoreReadOnly(bool readOnly = true) { readOnly_ = readOnly; }
    // Every fault off: the disk has room again.
    void heal();

    // Calls that reached the VFS since it was made, and those that failed.
    int writes() const { return writes_.calls; }
    int syncs() const { return syncs_.calls; }
    int failedWrites() const { return writes_.failed; }
    int failedSyncs() const { return syncs_.failed; }
    int failedOpens() const { return opens_.failed; }

  private:
    struct Fault {
        int after = -1;  // calls still to succeed; -1: the fault is off
        int code = SQLITE_OK;
        int kinds = 0;
        int calls = 0;
        int failed = 0;
        void arm(int n, int c, int k) { after = n, code = c, kinds = k; }
        // Counts a call on a file of `kind`; true when it is to fail.
        bool strikes(int kind);
    };
    struct File;
    static int open(sqlite3_vfs*, const char*, sqlite3_file*, int, int*);
    static const sqlite3_io_methods kMethods;

    std::string name_;
    sqlite3_vfs* base_ = nullptr;
    sqlite3_vfs vfs_{};
    Fault writes_, syncs_, opens_;
    bool readOnly_ = false;
};

}  // namespace qpane::testing
