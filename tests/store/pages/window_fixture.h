#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/fqpane.h"
#include "platform/message_boxes.h"
#include "platform/virtual/virtual_scheduler.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane::testing {

// Message boxes that keep what the window reported.
class RecordedBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> messages, errors;
};

// A main window on virtual time over a store of its own (upgraded, so blocks 0 to 9 exist),
// removed after the test.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("qpane-pages-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
                 info->name());
        std::filesystem::remove_all(root_);
        window_ =
            std::make_unique<TFqpane>(WindowEnvironment{scheduler_, boxes_, hub_, Paths(root_)});
        window_->tableupdate();
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove_all(root_);
    }

    TFqpane& w() { return *window_; }

    // An operator action, run the way a face runs it: an error goes to the error report.
    void act(const std::function<void()>& handler) { w().dispatch(handler); }

    void exec(const std::string& sql) { w().Db1.run(sql); }
    // The first column of every row, a cell with no value as "<null>".
    std::vector<std::string> column(const std::string& sql) {
        std::vector<Database::Row> rows;
        w().Db1.run(sql, nullptr, &rows);
        std::vector<std::string> out;
        for (const auto& r : rows)
            out.push_back(r.at(0).value_or("<null>"));
        return out;
    }
    // Makes every update of timedata fail, as a store that refuses writes does.
    void refuseUpdates() {
        exec(
            "create trigger refuse_updates before update on timedata begin "
            "select raise(abort, 'refused'); end");
    }

    static std::filesystem::path rootFor(const std::string& name) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_suite();
        auto root = std::filesystem::temp_directory_path() /
                    ("qpane-pages-" + std::to_string(::getpid()) + "-" + info->name() + "-" + name);
        std::filesystem::remove_all(root);
        return root;
    }
    static std::filesystem::path& upgradedRoot() {
        static std::filesystem::path root;
        return root;
    }

    VirtualScheduler scheduler_;
    RecordedBoxes boxes_;
    SimulatedPortHub hub_;
    std::filesystem::path root_;
    std::unique_ptr<TFqpane> window_;
};

}  // namespace qpane::testing
