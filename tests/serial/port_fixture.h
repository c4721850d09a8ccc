#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "far_end.h"
#include "loop_scheduler.h"
#include "serial/commx.h"
#include "serial/system_comm_devices.h"

namespace qpane {

using namespace std::chrono_literals;

// Waits for a condition that another thread brings about; false when it did not come.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

inline std::string errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const ECommError& e) {
        return e.what();
    }
    return "(no error)";
}

inline std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return s;
}

// A port on a serial line whose far end the test plays: COM3 (below a root of its own on
// POSIX, a pseudo-terminal; on Windows a port linked to another), the user-interface thread a
// loop of its own. Handlers run on that loop; the test reads what they record after a
// ui.run(), or through atomics.
class PtyPort : public ::testing::Test {
  protected:
    TempRoot root;
    FarEnd peer{root.path(), 3};
    std::unique_ptr<CommDeviceProvider> deviceProvider = makeSystemCommDevices(Paths(root.path()));
    CommDeviceProvider& devices = *deviceProvider;
    LoopScheduler ui;
    std::unique_ptr<TCommX> port = std::make_unique<TCommX>(ui, devices);

    void SetUp() override { port->SetPortNo(3); }
    void TearDown() override {
        ui.run([&] { port.reset(); });
        EXPECT_EQ(ui.escapedExceptions(), 0);
    }
    void open() {
        ui.run([&] { port->Open(); });
    }
    // Collects every received byte, reading ReceiveSize bytes one by one as the intake does.
    void collectInto(std::string& got, std::atomic<size_t>& count) {
        port->OnReceive = [&](TCustomCommX& p, int n) {
            for (int i = 0; i < n; ++i)
                got += static_cast<char>(p.ReadByte());
            count += static_cast<size_t>(n);
        };
    }
};

}  // namespace qpane
