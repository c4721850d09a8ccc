#include "platform/virtual/virtual_scheduler.h"

#include <optional>

namespace qpane {

void VirtualScheduler::setTimerHandler(TimerId id, Task handler) {
    timer(id).handler = std::move(handler);
}

void VirtualScheduler::setTimerEnabled(TimerId id, bool enabled) {
    Timer& t = timer(id);
    if (t.enabled == enabled) return;
    t.enabled = enabled;
    if (enabled) t.due = now_ + t.interval;
}

bool VirtualScheduler::timerEnabled(TimerId id) const {
    return timer(id).enabled;
}

void VirtualScheduler::setTimerInterval(TimerId id, int ms) {
    Timer& t = timer(id);
    if (t.interval == ms) return;
    t.interval = ms;
    if (t.enabled) t.due = now_ + ms;
}

int VirtualScheduler::timerInterval(TimerId id) const {
    return timer(id).interval;
}

void VirtualScheduler::pause(int64_t ms) {
    if (ms > 0) now_ += ms;
}

void VirtualScheduler::processMessages() {
    runPosted();
}

void VirtualScheduler::post(Task task) {
    posted_.post(std::move(task));
}

bool VirtualScheduler::send(Task task, const std::atomic<bool>* cancel) {
    // Virtual time runs on one thread, so a send runs at once; one from another thread would
    // wait for the next runPosted().
    return posted_.send(std::move(task), cancel);
}

void VirtualScheduler::runPosted() {
    posted_.runPending();
}

void VirtualScheduler::advance(int64_t ms) {
    const int64_t end = now_ + (ms > 0 ? ms : 0);
    for (;;) {
        runPosted();
        std::optional<size_t> next;
        for (size_t i = 0; i < timers_.size(); ++i) {
            const Timer& t = timers_[i];
            if (!t.enabled || t.due > end) continue;
            if (!next || t.due < timers_[*next].due) next = i;
        }
        if (!next) break;
        Timer& t = timers_[*next];
        if (now_ < t.due) now_ = t.due;
        t.due = now_ + t.interval;
        if (t.handler) {
            Task handler = t.handler;  // the handler may replace itself
            handler();
        }
    }
    if (now_ < end) now_ = end;
}

}  // namespace qpane
