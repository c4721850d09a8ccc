#include "loop_scheduler.h"

namespace qpane {

LoopScheduler::LoopScheduler() : start_(std::chrono::steady_clock::now()) {
    thread_ = std::thread([this] { loop(); });
    // The loop thread's id is known once it has started.
    send([this] { loopThread_ = std::this_thread::get_id(); });
}

LoopScheduler::~LoopScheduler() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& item : queue_)
            if (item->state == Item::State::Queued) item->state = Item::State::Dropped;
        queue_.clear();
    }
    queued_.notify_all();
    done_.notify_all();
    thread_.join();
}

void LoopScheduler::setTimerHandler(TimerId id, Task handler) {
    timers_[static_cast<size_t>(id)].handler = std::move(handler);
}
void LoopScheduler::setTimerEnabled(TimerId id, bool enabled) {
    timers_[static_cast<size_t>(id)].enabled = enabled;
}
bool LoopScheduler::timerEnabled(TimerId id) const {
    return timers_[static_cast<size_t>(id)].enabled;
}
void LoopScheduler::setTimerInterval(TimerId id, int ms) {
    timers_[static_cast<size_t>(id)].interval = ms;
}
int LoopScheduler::timerInterval(TimerId id) const {
    return timers_[static_cast<size_t>(id)].interval;
}

void LoopScheduler::pause(int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void LoopScheduler::processMessages() {
    while (runNext()) {
    }
}

void LoopScheduler::post(Task task) {
    auto item = std::make_shared<Item>();
    item->task = std::move(task);
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        queue_.push_back(std::move(item));
    }
    queued_.notify_all();
}

bool LoopScheduler::send(Task task, const std::atomic<bool>* cancel) {
    if (std::this_thread::get_id() == loopThread_) {
        if (cancel && cancel->load()) return false;
        task();
        return true;
    }
    auto item = std::make_shared<Item>();
    item->task = std::move(task);
    std::unique_lock lock(mutex_);
    if (stopping_) return false;
    queue_.push_back(item);
    queued_.notify_all();
    for (;;) {
        if (item->state == Item::State::Done) return true;
        if (item->state == Item::State::Dropped) return false;
        if (item->state == Item::State::Queued && cancel && cancel->load()) {
            item->state = Item::State::Dropped;
            return false;
        }
        // The cancel flag has no notification of its own: look at it now and then.
        done_.wait_for(lock, std::chrono::milliseconds(2));
    }
}

int64_t LoopScheduler::now() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - start_).count();
}

void LoopScheduler::loop() {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
        }
        runNext();
    }
}

bool LoopScheduler::runNext() {
    std::shared_ptr<Item> item;
    {
        std::lock_guard lock(mutex_);
        while (!queue_.empty() && queue_.front()->state == Item::State::Dropped)
            queue_.pop_front();
        if (queue_.empty()) return false;
        item = queue_.front();
        queue_.pop_front();
        item->state = Item::State::Running;
    }
    runItem(item);
    return true;
}

void LoopScheduler::runItem(const std::shared_ptr<Item>& item) {
    try {
        item->task();
    } catch (...) {
        ++escaped_;
    }
    {
        std::lock_guard lock(mutex_);
        item->state = Item::State::Done;
    }
    done_.notify_all();
}

}  // namespace qpane
