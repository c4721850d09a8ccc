#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace qpane {

// The three timers of the main window, in the order in which timers that fall due at the
// same moment run.
enum class TimerId : int { Timer1 = 0, Timer2 = 1, Timer3 = 2 };
inline constexpr int kTimerCount = 3;

// The user-interface thread of the console as the core sees it. Every handler of the core
// runs on that thread, one at a time; a handler that is running is never interrupted by
// another one, except inside processMessages().
class Scheduler {
  public:
    using Task = std::function<void()>;

    virtual ~Scheduler() = default;

    // Timers. A timer becomes due one interval after it is enabled, or after its interval is
    // changed while it is enabled; setting the value it already has changes nothing. When its
    // handler starts at s it is next due at s + interval unless the handler changes it.
    virtual void setTimerHandler(TimerId id, Task handler) = 0;
    virtual void setTimerEnabled(TimerId id, bool enabled) = 0;
    virtual bool timerEnabled(TimerId id) const = 0;
    virtual void setTimerInterval(TimerId id, int ms) = 0;
    virtual int timerInterval(TimerId id) const = 0;

    // Blocks the user-interface thread for ms milliseconds (none when ms <= 0). No handler of
    // the core runs meanwhile; the window may stay painted.
    virtual void pause(int64_t ms) = 0;

    // Lets the notifications and timer ticks that are waiting run now, inside the running
    // handler (the wait of a full transmit queue or of a pending read).
    virtual void processMessages() = 0;

    // Queues a task for the user-interface thread and returns at once. Any thread.
    virtual void post(Task task) = 0;

    // Runs a task on the user-interface thread and waits until it has run there. Called from
    // the user-interface thread itself, it runs the task at once. Returns false without
    // running the task when *cancel becomes true (when given) or the scheduler shuts down
    // before the task started; once started, the task is always waited for.
    virtual bool send(Task task, const std::atomic<bool>* cancel = nullptr) = 0;

    // Milliseconds since the scheduler started (virtual time in replay).
    virtual int64_t now() const = 0;
};

}  // namespace qpane
