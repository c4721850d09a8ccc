#include "failing_vfs.h"

#include <stdexcept>

namespace qpane::testing {

// A file of the VFS: its own header, followed by the file of the default VFS that does the
// work.
struct FailingVfs::File {
    sqlite3_file base;
    FailingVfs* owner;
    int kind;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

namespace {

int kindOf(int flags) {
    if (flags & SQLITE_OPEN_MAIN_DB) return FailingVfs::kStoreFile;
    if (flags & SQLITE_OPEN_MAIN_JOURNAL) return FailingVfs::kJournal;
    if (flags & SQLITE_OPEN_WAL) return FailingVfs::kWal;
    return 0;  // temporary files and statement journals are never made to fail
}

}  // namespace

bool FailingVfs::Fault::strikes(int kind) {
    ++calls;
    if (after < 0 || !(kinds & kind)) return false;
    if (after > 0) {
        --after;
        return false;
    }
    ++failed;
    return true;
}

// Every call but open, write and sync goes straight to the file of the default VFS.
const sqlite3_io_methods FailingVfs::kMethods = {
    3,
    [](sqlite3_file* f) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
    },
    [](sqlite3_file* f, void* buf, int n, sqlite3_int64 at) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xRead(real, buf, n, at);
    },
    [](sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
        auto* file = reinterpret_cast<FailingVfs::File*>(f);
        if (file->owner->writes_.strikes(file->kind)) return file->owner->writes_.code;
        return file->real()->pMethods->xWrite(file->real(), buf, n, at);
    },
    [](sqlite3_file* f, sqlite3_int64 size) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xTruncate(real, size);
    },
    [](sqlite3_file* f, int flags) {
        auto* file = reinterpret_cast<FailingVfs::File*>(f);
        if (file->owner->syncs_.strikes(file->kind)) return SQLITE_IOERR_FSYNC;
        return file->real()->pMethods->xSync(file->real(), flags);
    },
    [](sqlite3_file* f, sqlite3_int64* size) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xFileSize(real, size);
    },
    [](sqlite3_file* f, int lock) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xLock(real, lock);
    },
    [](sqlite3_file* f, int lock) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xUnlock(real, lock);
    },
    [](sqlite3_file* f, int* out) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xCheckReservedLock(real, out);
    },
    [](sqlite3_file* f, int op, void* arg) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xFileControl(real, op, arg);
    },
    [](sqlite3_file* f) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xSectorSize(real);
    },
    [](sqlite3_file* f) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xDeviceCharacteristics(real);
    },
    [](sqlite3_file* f, int region, int size, int extend, void volatile** out) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xShmMap(real, region, size, extend, out);
    },
    [](sqlite3_file* f, int offset, int n, int flags) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xShmLock(real, offset, n, flags);
    },
    [](sqlite3_file* f) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        real->pMethods->xShmBarrier(real);
    },
    [](sqlite3_file* f, int deleteFlag) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xShmUnmap(real, deleteFlag);
    },
    [](sqlite3_file* f, sqlite3_int64 at, int n, void** out) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xFetch(real, at, n, out);
    },
    [](sqlite3_file* f, sqlite3_int64 at, void* p) {
        sqlite3_file* real = reinterpret_cast<FailingVfs::File*>(f)->real();
        return real->pMethods->xUnfetch(real, at, p);
    },
};

int FailingVfs::open(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags,
                     int* outFlags) {
    auto* owner = static_cast<FailingVfs*>(vfs->pAppData);
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    file->owner = owner;
    file->kind = kindOf(flags);
    if (owner->opens_.strikes(file->kind)) return SQLITE_CANTOPEN;
    if (file->kind == kStoreFile && owner->readOnly_ && (flags & SQLITE_OPEN_READWRITE))
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    sqlite3_file* real = file->real();
    real->pMethods = nullptr;
    const int rc = owner->base_->xOpen(owner->base_, name, real, flags, outFlags);
    // Once the default file has methods, SQLite closes it through ours, also after a failure.
    if (real->pMethods) file->base.pMethods = &kMethods;
    return rc;
}

FailingVfs::FailingVfs(std::string name) : name_(std::move(name)) {
    base_ = sqlite3_vfs_find(nullptr);
    if (!base_) throw std::runtime_error("no default SQLite VFS");
    // Everything but open is the default VFS's own; its functions reach it through its own
    // pointer, which they are given back by these forwarders.
    vfs_.iVersion = 2;
    vfs_.szOsFile = static_cast<int>(sizeof(File)) + base_->szOsFile;
    vfs_.mxPathname = base_->mxPathname;
    vfs_.zName = name_.c_str();
    vfs_.pAppData = this;
    vfs_.xOpen = &FailingVfs::open;
    vfs_.xDelete = [](sqlite3_vfs* v, const char* n, int sync) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xDelete(b, n, sync);
    };
    vfs_.xAccess = [](sqlite3_vfs* v, const char* n, int flags, int* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xAccess(b, n, flags, out);
    };
    vfs_.xFullPathname = [](sqlite3_vfs* v, const char* n, int size, char* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xFullPathname(b, n, size, out);
    };
    vfs_.xDlOpen = [](sqlite3_vfs* v, const char* n) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xDlOpen(b, n);
    };
    vfs_.xDlError = [](sqlite3_vfs* v, int size, char* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        b->xDlError(b, size, out);
    };
    vfs_.xDlSym = [](sqlite3_vfs* v, void* h, const char* n) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xDlSym(b, h, n);
    };
    vfs_.xDlClose = [](sqlite3_vfs* v, void* h) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        b->xDlClose(b, h);
    };
    vfs_.xRandomness = [](sqlite3_vfs* v, int n, char* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xRandomness(b, n, out);
    };
    vfs_.xSleep = [](sqlite3_vfs* v, int us) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xSleep(b, us);
    };
    vfs_.xCurrentTime = [](sqlite3_vfs* v, double* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xCurrentTime(b, out);
    };
    vfs_.xGetLastError = [](sqlite3_vfs* v, int n, char* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xGetLastError(b, n, out);
    };
    vfs_.xCurrentTimeInt64 = [](sqlite3_vfs* v, sqlite3_int64* out) {
        sqlite3_vfs* b = static_cast<FailingVfs*>(v->pAppData)->base_;
        return b->xCurrentTimeInt64(b, out);
    };
    if (sqlite3_vfs_register(&vfs_, /*makeDflt=*/0) != SQLITE_OK)
        throw std::runtime_error("the failing VFS could not be registered");
}

FailingVfs::~FailingVfs() {
    sqlite3_vfs_unregister(&vfs_);
}

void FailingVfs::failWrites(int after, int code, int kinds) {
    writes_.arm(after, code, kinds);
}

void FailingVfs::failSyncs(int after, int kinds) {
    syncs_.arm(after, SQLITE_IOERR_FSYNC, kinds);
}

void FailingVfs::failOpens(int after, int kinds) {
    opens_.arm(after, SQLITE_CANTOPEN, kinds);
}

void FailingVfs::heal() {
    writes_.after = syncs_.after = opens_.after = -1;
    readOnly_ = false;
}

}  // namespace qpane::testing
