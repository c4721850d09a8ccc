#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/fqpane.h"
#include "platform/message_boxes.h"
#include "platform/virtual/virtual_scheduler.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane::testing {

// Message boxes that record the errors that reached the window's error report; every
// question is answered No.
class ErrorRecordingBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void message(const std::string&) override {}
    void error(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> errors;
};

// A started main window on virtual time with simulated ports and a root folder of its own,
// removed afterwards. Block 1 has group 1 (bibs 001 to 020) and group 2 (021 to 040). The
// ports stay closed, so the board rows go nowhere; the tests look at the window's state.
class AlpineWindowTest : public ::testing::Test {
  protected:
    // The upgrade of the store (8991 rows) runs once; every test starts from a copy.
    static void SetUpTestSuite() {
        std::filesystem::remove_all(templateRoot());
        VirtualScheduler scheduler;
        SimulatedPortHub hub;
        ErrorRecordingBoxes boxes;
        TFqpane window(WindowEnvironment{scheduler, boxes, hub, Paths(templateRoot())});
        window.tableupdate();
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(templateRoot()); }
    static std::filesystem::path templateRoot() {
        return std::filesystem::temp_directory_path() /
               ("qpane-alpine-" + std::to_string(::getpid()) + "-template");
    }

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("qpane-alpine-" + std::to_string(::getpid()) + "-" + info->test_suite_name() +
                 "-" + info->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_.parent_path());
        std::filesystem::copy(templateRoot(), root_, std::filesystem::copy_options::recursive);
        window_ =
            std::make_unique<TFqpane>(WindowEnvironment{scheduler_, boxes_, hub_, Paths(root_)});
        w().dispatch([this] { w().FormShow(); });
        sql("update timedata set grp='1' where block='1' and bib between '001' and '020'");
        sql("update timedata set grp='2' where block='1' and bib between '021' and '040'");
        w().connMode = "D";
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove_all(root_);
    }

    TFqpane& w() { return *window_; }
    void sql(const std::string& statement) { w().Db1.run(statement); }
    std::string stored(const std::string& column, const std::string& bib) {
        std::vector<Database::Row> rows;
        w().Db1.run("select " + column + " from timedata where block='1' and bib='" + bib + "'",
                    nullptr, &rows);
        return rows.empty() || !rows[0][0] ? "" : *rows[0][0];
    }
    // Queues the lines and runs the processing cycle for the pattern, as the timer would.
    void pass(int patternNo, const std::vector<std::string>& lines) {
        w().patternNo = patternNo;
        for (const std::string& line : lines)
            w().Memo2.addLine(line);
        w().dispatch([this] { w().Timer1Timer(); });
    }

    std::filesystem::path root_;
    VirtualScheduler scheduler_;
    SimulatedPortHub hub_;
    ErrorRecordingBoxes boxes_;
    std::unique_ptr<TFqpane> window_;
};

}  // namespace qpane::testing
