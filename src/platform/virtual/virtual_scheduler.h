#pragma once

#include <array>

#include "platform/scheduler.h"
#include "platform/task_queue.h"

namespace qpane {

// The scheduler of qpane-replay and of the tests: time moves only in advance() and in the
// pauses that handlers make, so whole races run in milliseconds and always the same way.
class VirtualScheduler final : public Scheduler {
  public:
    void setTimerHandler(TimerId id, Task handler) override;
    void setTimerEnabled(TimerId id, bool enabled) override;
    bool timerEnabled(TimerId id) const override;
    void setTimerInterval(TimerId id, int ms) override;
    int timerInterval(TimerId id) const override;
    void pause(int64_t ms) override;
    void processMessages() override;
    void post(Task task) override;
    bool send(Task task, const std::atomic<bool>* cancel = nullptr) override;
    int64_t now() const override { return now_; }

    // Lets ms milliseconds pass from the current time: timers that fall due meanwhile run in
    // the order of their due times (ties: Timer1, Timer2, Timer3). A handler that carries the
    // time past the end leaves it there.
    void advance(int64_t ms);

    // Runs the notifications that were posted and not yet handled.
    void runPosted();

    // When a timer is due next, if it is enabled.
    int64_t dueTime(TimerId id) const { return timer(id).due; }

  private:
    struct Timer {
        Task handler;
        bool enabled = false;
        int interval = 1000;
        int64_t due = 0;
    };
    Timer& timer(TimerId id) { return timers_[static_cast<size_t>(id)]; }
    const Timer& timer(TimerId id) const { return timers_[static_cast<size_t>(id)]; }

    std::array<Timer, kTimerCount> timers_;
    int64_t now_ = 0;
    TaskQueue posted_;  // owned by the thread that creates the scheduler
};

}  // namespace qpane
