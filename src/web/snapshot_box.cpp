#include "web/snapshot_box.h"

namespace qpane::web {

SnapshotBox::SnapshotBox() {
    auto empty = std::make_shared<WebSnapshot>();
    empty->board = std::make_shared<BoardMirror>();
    empty->rankings = std::make_shared<Rankings>();
    empty->passes = std::make_shared<std::vector<Pass>>();
    current_ = std::move(empty);
}

void SnapshotBox::publish(SnapshotPtr snapshot) {
    {
        std::lock_guard lock(mutex_);
        if (snapshot->sequence <= current_->sequence) return;
        current_ = std::move(snapshot);
    }
    changed_.notify_all();
}

SnapshotPtr SnapshotBox::current() const {
    std::lock_guard lock(mutex_);
    return current_;
}

SnapshotPtr SnapshotBox::waitNewer(uint64_t sequence, std::chrono::milliseconds timeout,
                                   const std::function<bool()>& cancelled) const {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout,
                      [&] { return current_->sequence > sequence || (cancelled && cancelled()); });
    return current_;
}

void SnapshotBox::wake() {
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

}  // namespace qpane::web
