#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "serial/comm_device.h"

namespace qpane {

// The serial devices of qpane-replay and of the tests: devices COM1, COM2, ... that exist as
// soon as they are named, open in one component at a time, and run on the caller's thread.
// The component runs no threads over them: a write completes at once, a read takes what is
// waiting at once, and push() raises the received notification on the calling thread (the
// user-interface thread), so that virtual time stays exact.
class SimulatedPortHub final : public CommDeviceProvider {
  public:
    // Without recordWrites nothing written is kept (a long replay stays flat in memory).
    explicit SimulatedPortHub(bool recordWrites = true);
    ~SimulatedPortHub() override;

    std::unique_ptr<CommDevice> open(int portNo) override;
    // A device is there unless it fails to open.
    bool present(int portNo) override;

    // From now on opening COMn fails, or works again.
    void setFailing(int portNo, bool failing);
    // Bytes arrive on COMn: they join its input queue and, when the device is open, raise the
    // received notification at once. Bytes for a device that is not open are dropped; bytes
    // left unread stay for the next push.
    void push(int portNo, std::string_view bytes);
    // The open COMn goes away (an adapter pulled out): its owner gets OnError with
    // kCommErrIo, its writes and reads fail; opening fails until setFailing(n, false).
    void unplug(int portNo);

    bool isOpen(int portNo) const;
    // Every byte written to COMn, and the writes one by one (a chunk each).
    std::string written(int portNo) const;
    std::vector<std::string> writes(int portNo) const;
    void clearWritten(int portNo);
    // Bytes waiting in the input queue of COMn.
    int waiting(int portNo) const;
    // The device control block, time-outs, buffer sizes and lines last set on COMn.
    CommDcb state(int portNo) const;
    CommTimeouts timeouts(int portNo) const;
    int inBufferSize(int portNo) const;
    int outBufferSize(int portNo) const;
    bool rts(int portNo) const;
    bool dtr(int portNo) const;

    struct Port;

  private:
    std::shared_ptr<Port> port(int portNo) const;

    bool recordWrites_;
    mutable std::mutex mutex_;
    mutable std::map<int, std::shared_ptr<Port>> ports_;
};

}  // namespace qpane
