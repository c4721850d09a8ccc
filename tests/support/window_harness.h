#pragma once

#include <deque>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/fqpane.h"
#include "platform/message_boxes.h"
#include "platform/virtual/virtual_scheduler.h"
#include "serial/simulated/simulated_port_hub.h"

namespace qpane::testing {

// Message boxes that answer from a queue (No when it is empty) and keep what was shown.
class RecordingBoxes : public MessageBoxes {
  public:
    bool askYesNo(const std::string& title, const std::string& text) override;
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }

    std::deque<bool> answers;
    std::vector<std::string> questions, messages, errors;
};

// The main window on virtual time with simulated ports, on a root folder of its own that is
// removed at the end. The store starts as an upgraded installation (made once per test
// program and copied), so that blocks 0 to 9 exist and start-up takes no upgrade time.
class WindowHarness {
  public:
    // Settings of section Boad written before the window is created.
    using Setting = std::pair<std::string, std::string>;
    // Without recordWrites the simulated ports keep nothing of what was sent (long runs).
    // storeVfs: the SQLite VFS that the window's store opens through (a failing disk).
    explicit WindowHarness(std::initializer_list<Setting> settings = {}, bool recordWrites = true,
                           const std::string& storeVfs = {});
    ~WindowHarness();
    WindowHarness(const WindowHarness&) = delete;
    WindowHarness& operator=(const WindowHarness&) = delete;

    TFqpane& w() { return *window_; }
    VirtualScheduler& scheduler() { return scheduler_; }
    SimulatedPortHub& hub() { return hub_; }
    RecordingBoxes& boxes() { return boxes_; }
    const std::filesystem::path& root() const { return root_; }

    // Start-up, as the window runs it when it is shown.
    void start();
    // An operator action through the window's error report.
    void act(const std::function<void()>& handler) { window_->dispatch(handler); }
    // "実行", answering every question with No.
    void apply();
    // Bytes arriving on COMn.
    void rx(int portNo, std::string_view bytes) { hub_.push(portNo, bytes); }
    // Lets virtual time pass.
    void wait(int64_t ms) { scheduler_.advance(ms); }
    // A statement on the window's store; the first column of its rows ("<null>" for none).
    std::vector<std::string> sql(const std::string& statement);

  private:
    std::filesystem::path root_;
    VirtualScheduler scheduler_;
    SimulatedPortHub hub_;
    RecordingBoxes boxes_;
    std::unique_ptr<TFqpane> window_;
};

}  // namespace qpane::testing
