// A store of its own per test, upgraded as the console upgrades it, filled with SQL as a race
// would fill it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "store/database.h"
#include "store/sqlite_calls.h"
#include "upgraded_store.h"

namespace qpane::web::testing {

class RaceStore {
  public:
    RaceStore() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qpane-web-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        folder_ = pattern;
        std::filesystem::copy(qpane::testing::upgradedStoreFolder(), folder_,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        db_ = std::make_unique<Database>(folder_);
    }
    ~RaceStore() {
        db_.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    void sql(const std::string& statement) { executeSql(db_->handle(), statement); }
    sqlite3* handle() const { return db_->handle(); }

  private:
    std::filesystem::path folder_;
    std::unique_ptr<Database> db_;
};

}  // namespace qpane::web::testing
