#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <exception>
#include <optional>
#include <thread>
#include <type_traits>

#include "platform/scheduler.h"
#include "platform/task_queue.h"

namespace qpane {

// A user-interface thread for the tests and benchmarks that run the serial threads for real:
// one loop thread runs the posted and sent tasks one at a time, in order. A pause sleeps
// that thread, so nothing else runs meanwhile, as in the window; processMessages() runs what
// waits. Timers are stored but never fire: the serial component uses none.
class LoopScheduler final : public Scheduler {
  public:
    LoopScheduler();
    ~LoopScheduler() override;

    void setTimerHandler(TimerId id, Task handler) override;
    void setTimerEnabled(TimerId id, bool enabled) override;
    bool timerEnabled(TimerId id) const override;
    void setTimerInterval(TimerId id, int ms) override;
    int timerInterval(TimerId id) const override;
    void pause(int64_t ms) override;
    void processMessages() override;
    void post(Task task) override;
    bool send(Task task, const std::atomic<bool>* cancel = nullptr) override;
    int64_t now() const override;

    // Runs f on the loop thread, waits for it and hands back its result or exception.
    template <class F>
    auto run(F f) -> decltype(f()) {
        using R = decltype(f());
        std::exception_ptr error;
        if constexpr (std::is_void_v<R>) {
            send([&] {
                try {
                    f();
                } catch (...) {
                    error = std::current_exception();
                }
            });
            if (error) std::rethrow_exception(error);
        } else {
            std::optional<R> result;
            send([&] {
                try {
                    result.emplace(f());
                } catch (...) {
                    error = std::current_exception();
                }
            });
            if (error) std::rethrow_exception(error);
            return std::move(*result);
        }
    }

    std::thread::id loopThread() const { return thread_.get_id(); }
    bool onLoopThread() const { return queue_.onOwnerThread(); }
    // Exceptions that escaped posted or sent tasks.
    int escapedExceptions() const { return escaped_; }

  private:
    bool runNext();  // false when nothing waits

    TaskQueue queue_;
    std::atomic<int> escaped_{0};

    struct Timer {
        Task handler;
        bool enabled = false;
        int interval = 1000;
    };
    std::array<Timer, kTimerCount> timers_;
    std::chrono::steady_clock::time_point start_;
    std::thread thread_;
};

}  // namespace qpane
