#include "results/read_only_store.h"

#include <sqlite3.h>

#include <stdexcept>

#include "platform/paths.h"
#include "store/database.h"
#include "store/installation.h"

namespace qpane::results {

ReadOnlyStore::ReadOnlyStore(const std::filesystem::path& dataFolder)
    : file_(Database::fileIn(dataFolder)) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file_, ec))
        throw std::runtime_error("no result store at " + file_.string());
    if (sqlite3_open_v2(pathText(file_).c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error(file_.string() + ": " + message);
    }
    sqlite3_busy_timeout(db_, Database::kBusyTimeoutMs);
    std::string problem;
    try {
        problem = missingConsoleTable(db_);
    } catch (const std::exception& e) {
        problem = e.what();
    }
    if (!problem.empty()) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error(file_.string() + ": " + problem);
    }
}

ReadOnlyStore::~ReadOnlyStore() {
    sqlite3_close(db_);
}

}  // namespace qpane::results
