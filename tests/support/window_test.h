#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "window_harness.h"

namespace qpane::testing {

// A test with its own main window (see WindowHarness): created, not yet started.
class WindowTest : public ::testing::Test {
  protected:
    TFqpane& w() { return harness_.w(); }
    // An operator action, run the way a face runs it: an error goes to the error report.
    void act(const std::function<void()>& handler) { harness_.act(handler); }
    void exec(const std::string& sql) { harness_.sql(sql); }
    // The first column of every row, a cell with no value as "<null>".
    std::vector<std::string> column(const std::string& sql) { return harness_.sql(sql); }
    // Makes every update of timedata fail, as a store that refuses writes does.
    void refuseUpdates() {
        exec(
            "create trigger refuse_updates before update on timedata begin "
            "select raise(abort, 'refused'); end");
    }

    WindowHarness harness_;
    RecordingBoxes& boxes_ = harness_.boxes();
};

}  // namespace qpane::testing
