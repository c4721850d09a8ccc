#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <atomic>

#include "platform/scheduler.h"
#include "platform/task_queue.h"

namespace qpane {

// The scheduler of the window program. Every entry into the core (an operator action, a
// timer tick, a port notification) goes through run(): while a handler of the core runs, the
// others wait and run after it in the order they came, as the window's message loop orders
// them. Pauses keep the window painted without letting a core handler or operator input in.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
  public:
    QtScheduler();
    ~QtScheduler() override;

    void setTimerHandler(TimerId id, Task handler) override;
    void setTimerEnabled(TimerId id, bool enabled) override;
    bool timerEnabled(TimerId id) const override;
    void setTimerInterval(TimerId id, int ms) override;
    int timerInterval(TimerId id) const override;
    void pause(int64_t ms) override;
    void processMessages() override;
    void post(Task task) override;
    bool send(Task task, const std::atomic<bool>* cancel = nullptr) override;
    int64_t now() const override { return clock_.elapsed(); }

    // Runs an operator action in the core now, or after the handler that is running.
    void run(Task task);

    // No task runs any more; senders waiting are released.
    void shutdown();

    bool busy() const { return depth_ > 0; }

  private:
    struct TimerSlot {
        QTimer timer;
        Task handler;
        bool tickPending = false;
    };

    void onTimeout(size_t index);
    void scheduleDrain();
    void drain();
    void runTick(size_t index);

    std::array<TimerSlot, kTimerCount> timers_;
    QElapsedTimer clock_;
    int depth_ = 0;
    std::atomic<bool> drainScheduled_{false};
    TaskQueue queue_;
};

}  // namespace qpane
