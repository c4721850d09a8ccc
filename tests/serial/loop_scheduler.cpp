#include "loop_scheduler.h"

namespace qpane {

LoopScheduler::LoopScheduler() : start_(std::chrono::steady_clock::now()) {
    thread_ = std::thread([this] {
        while (queue_.waitForTask())
            runNext();
    });
    queue_.setOwner(thread_.get_id());
}

LoopScheduler::~LoopScheduler() {
    queue_.shutdown();
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
    queue_.post(std::move(task));
}

bool LoopScheduler::send(Task task, const std::atomic<bool>* cancel) {
    return queue_.send(std::move(task), cancel);
}

int64_t LoopScheduler::now() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - start_).count();
}

bool LoopScheduler::runNext() {
    // A task that throws is counted, and the loop goes on.
    try {
        return queue_.runNext();
    } catch (...) {
        ++escaped_;
        return true;
    }
}

}  // namespace qpane
