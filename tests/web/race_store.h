// A store of its own per test, upgraded as the console upgrades it, filled with SQL as a race
// would fill it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_calls.h"
#include "store/database.h"
#include "store/sqlite_calls.h"
#include "upgraded_store.h"

namespace qpane::web::testing {

class RaceStore {
  public:
    RaceStore() {
        // Copied into a folder not yet there: a copy onto an existing folder fails on Windows.
        root_ = file_calls::makeTemporaryFolder("qpane-web-");
        folder_ = root_ / "data";
        std::filesystem::copy(qpane::testing::upgradedStoreFolder(), folder_,
                              std::filesystem::copy_options::recursive);
        db_ = std::make_unique<Database>(folder_);
    }
    ~RaceStore() {
        db_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    void sql(const std::string& statement) { executeSql(db_->handle(), statement); }
    sqlite3* handle() const { return db_->handle(); }

  private:
    std::filesystem::path root_;
    std::filesystem::path folder_;
    std::unique_ptr<Database> db_;
};

}  // namespace qpane::web::testing
