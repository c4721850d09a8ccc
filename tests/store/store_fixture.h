#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_boxes.h"
#include "store/database.h"
#include "store/query.h"

namespace qpane::testing {

// Message boxes that record what the store showed.
class RecordingBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string& title, const std::string& text) override {
        asked.push_back(title + "|" + text);
        return false;
    }
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> asked, messages, errors;
};

// A data folder of its own per test, removed afterwards.
class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("qpane-store-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
                 info->name());
        std::filesystem::remove_all(root_);
        folder_ = root_;
    }
    void TearDown() override {
        db_.reset();
        std::filesystem::remove_all(root_);
    }

    Database& db() {
        if (!db_) db_ = std::make_unique<Database>(folder_);
        return *db_;
    }
    void reopen() {
        db_.reset();
        db();
    }
    void exec(const std::string& sql) { db().run(sql); }

    // Every row of a statement, a cell with no value as "<null>".
    std::vector<std::vector<std::string>> rows(const std::string& sql) {
        std::vector<Database::Row> raw;
        db().run(sql, nullptr, &raw);
        std::vector<std::vector<std::string>> out;
        for (const auto& r : raw) {
            std::vector<std::string> line;
            for (const auto& cell : r)
                line.push_back(cell ? *cell : "<null>");
            out.push_back(line);
        }
        return out;
    }
    // The first cell of the first row.
    std::string value(const std::string& sql) {
        auto r = rows(sql);
        return r.empty() || r[0].empty() ? "<none>" : r[0][0];
    }
    // The first column of every row.
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> out;
        for (auto& r : rows(sql))
            out.push_back(r.at(0));
        return out;
    }

    std::filesystem::path root_;    // removed after the test
    std::filesystem::path folder_;  // the data folder, root_ unless a test moves it below
    std::unique_ptr<Database> db_;
};

}  // namespace qpane::testing
