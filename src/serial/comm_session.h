#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/scheduler.h"
#include "serial/comm_device.h"

namespace qpane {

// The four notifications that the threads hand to the user-interface thread.
enum class CommNotification : uint32_t {
    Transmitted = 0x500,
    Received = 0x501,
    Signal = 0x502,
    Error = 0x503,
};

// The receiver of the notifications, on the user-interface thread.
class CommNotificationTarget {
  public:
    // sent: the notification came through a send of the receive thread, which waits for it.
    virtual void deliver(uint64_t sessionId, CommNotification what, uint32_t param, bool sent) = 0;

  protected:
    ~CommNotificationTarget() = default;
};

// Where notifications go. Read and written on the user-interface thread only: the component
// clears it when it is destroyed, so a notification that runs later finds nobody.
struct CommLink {
    CommNotificationTarget* target = nullptr;
};

// One opening of a port: the device and everything that the component shares with its
// transmit and receive threads. Each thread holds it by shared_ptr, so it lives as long as
// the last of them, whatever happens to the component.
class CommSession {
  public:
    // At most this many chunks wait for the transmit thread before Write holds back.
    static constexpr int kMaxPendingChunks = 32;

    CommSession(Scheduler& scheduler, std::shared_ptr<CommLink> link, uint64_t id,
                std::shared_ptr<CommDevice> device);

    uint64_t id() const { return id_; }
    CommDevice& device() { return *device_; }

    // Asked to stop (Close); also the cancel flag of the sends of the receive thread.
    std::atomic<bool> stop{false};
    // Set by PurgeTransmit: the transmit thread drops its chunks instead of writing them.
    std::atomic<bool> transmitPaused{false};
    // Whether Write and Read have a thread (or, without threads, the device) to work with.
    std::atomic<bool> transmitting{false};
    std::atomic<bool> receiving{false};
    // The flow control in force, for the half-duplex line turns of the transmit thread.
    std::atomic<TCommFlowCtrls> flowCtrl{cfcRtsCts};

    // The queue of the transmit thread and its two counts (the queue lock).
    void queueChunk(std::string chunk);
    int pendingChunks() const;
    int pendingBytes() const;
    // Waits up to ms for a chunk (or stop); empty when none came.
    std::optional<std::string> takeChunk(int ms);
    // A chunk taken has been written or dropped.
    void chunkDone(int size);
    // The transmit thread ended: nothing is pending any more.
    void dropQueue();
    // Wakes the transmit thread (a chunk, a purge that ended, stop).
    void wakeTransmitter();
    // Sleeps on the transmit thread for ms unless asked to stop meanwhile.
    void sleepUnlessStopped(int ms);

    // Notifications to the user-interface thread.
    void post(CommNotification what, uint32_t param);
    // Waits until the handler has run; false when Close cancelled it first.
    bool send(CommNotification what, uint32_t param);

    // What the receive thread does with the events of one wait: line errors, modem lines and
    // break, received bytes, each sent in that order.
    void handlePortEvents(uint32_t events);
    // The device went away: one error notification with kCommErrIo (sent or posted), the
    // first time only, whichever thread notices it first.
    void reportLoss(bool viaSend);

  private:
    Scheduler& scheduler_;
    std::shared_ptr<CommLink> link_;
    const uint64_t id_;
    std::shared_ptr<CommDevice> device_;

    mutable std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::deque<std::string> chunks_;
    int pendingChunks_ = 0;
    int pendingBytes_ = 0;

    std::atomic<bool> lossReported_{false};
};

}  // namespace qpane
