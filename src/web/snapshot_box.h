#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "web/web_snapshot.h"

namespace qpane::web {

// Where the user-interface thread leaves the newest snapshot and the server's threads pick
// it up. Only a pointer changes hands under the lock; a snapshot is never changed.
class SnapshotBox {
  public:
    SnapshotBox();

    // The snapshot's sequence must be higher than the one held (the box keeps the newest).
    void publish(SnapshotPtr snapshot);
    SnapshotPtr current() const;

    // Waits until a snapshot newer than sequence is held, the time is out, or cancelled()
    // holds (checked whenever wake() is called); returns the snapshot held then.
    SnapshotPtr waitNewer(uint64_t sequence, std::chrono::milliseconds timeout,
                          const std::function<bool()>& cancelled) const;
    // Wakes every waiter so that it checks its cancellation.
    void wake();

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    SnapshotPtr current_;
};

}  // namespace qpane::web
