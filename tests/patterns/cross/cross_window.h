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

// Message boxes that record what the window showed; every question is answered No.
class RecordedBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> messages, errors;
};

// A main window on virtual time with simulated ports, on a root folder of its own that is
// removed afterwards.
class CrossWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("qpane-cross-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
                 info->name());
        std::filesystem::remove_all(root_);
        window_ =
            std::make_unique<TFqpane>(WindowEnvironment{scheduler_, boxes_, hub_, Paths(root_)});
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove_all(root_);
    }

    TFqpane& w() { return *window_; }

    std::filesystem::path root_;
    VirtualScheduler scheduler_;
    SimulatedPortHub hub_;
    RecordedBoxes boxes_;
    std::unique_ptr<TFqpane> window_;
};

}  // namespace qpane::testing
