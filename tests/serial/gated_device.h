#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial/comm_device.h"

namespace qpane {

// A device whose writes wait at a gate that the test opens one write at a time, so that the
// transmit queue can be held full. Purging its output lets the write that waits go, unwritten.
class GatedDevices final : public CommDeviceProvider {
  public:
    std::unique_ptr<CommDevice> open(int portNo) override;

    // Lets n more writes through.
    void allow(int n);
    int writesStarted() const;
    int writesDone() const;
    std::string written() const;

    struct State {
        mutable std::mutex mutex;
        std::condition_variable changed;
        int allowed = 0;
        int started = 0;
        int done = 0;
        unsigned purges = 0;
        bool cancelled = false;
        bool closed = false;
        std::string written;
    };

  private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace qpane
