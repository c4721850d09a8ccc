#include "platform/task_queue.h"

#include <algorithm>
#include <chrono>

namespace qpane {

TaskQueue::TaskQueue(WakeUp wakeUp, Runner runner)
    : wakeUp_(std::move(wakeUp)), runner_(std::move(runner)), owner_(std::this_thread::get_id()) {}

TaskQueue::~TaskQueue() {
    shutdown();
}

void TaskQueue::post(Task task) {
    enqueue(std::move(task), nullptr, nullptr);
}

bool TaskQueue::send(Task task, const std::atomic<bool>* cancel) {
    if (onOwnerThread()) {
        if (cancel && cancel->load()) return false;
        run(task);
        return true;
    }
    Sent sent;
    if (!enqueue(std::move(task), &sent, cancel)) return false;
    std::unique_lock lock(mutex_);
    for (;;) {
        switch (sent.state) {
            case Sent::State::Done: return true;
            case Sent::State::Dropped: return false;
            case Sent::State::Queued:
                if (cancel && cancel->load()) {
                    dropLocked(sent);
                    return false;
                }
                break;
            case Sent::State::Running: break;
        }
        // The cancel flag has no notification of its own: look at it now and then.
        finished_.wait_for(lock, std::chrono::milliseconds(2));
    }
}

bool TaskQueue::runNext() {
    Entry entry;
    {
        std::lock_guard lock(mutex_);
        if (entries_.empty()) return false;
        entry = std::move(entries_.front());
        entries_.pop_front();
        if (entry.sent) entry.sent->state = Sent::State::Running;
    }
    // The sender waits for Done however the task ends, a throw included; what the task holds
    // is let go before the sender goes on.
    struct Finish {
        TaskQueue& queue;
        Entry& entry;
        ~Finish() {
            entry.task = nullptr;
            if (!entry.sent) return;
            std::lock_guard lock(queue.mutex_);
            entry.sent->state = Sent::State::Done;
            queue.finished_.notify_all();
        }
    } finish{*this, entry};
    run(entry.task);
    return true;
}

void TaskQueue::runPending() {
    while (runNext()) {
    }
}

bool TaskQueue::waitForTask() {
    std::unique_lock lock(mutex_);
    queued_.wait(lock, [this] { return stopped_ || !entries_.empty(); });
    return !stopped_;
}

void TaskQueue::shutdown() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        for (Entry& entry : entries_)
            if (entry.sent) entry.sent->state = Sent::State::Dropped;
        entries_.clear();
    }
    queued_.notify_all();
    finished_.notify_all();
}

bool TaskQueue::stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

bool TaskQueue::enqueue(Task task, Sent* sent, const std::atomic<bool>* cancel) {
    {
        std::lock_guard lock(mutex_);
        // A sender that has already given up does not queue: its task could start at once.
        if (stopped_ || (cancel && cancel->load())) return false;
        entries_.push_back(Entry{std::move(task), sent});
    }
    queued_.notify_one();
    if (wakeUp_) wakeUp_();
    return true;
}

void TaskQueue::run(const Task& task) const {
    if (runner_)
        runner_(task);
    else
        task();
}

void TaskQueue::dropLocked(Sent& sent) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.sent == &sent; });
    if (it != entries_.end()) entries_.erase(it);
    sent.state = Sent::State::Dropped;
}

}  // namespace qpane
