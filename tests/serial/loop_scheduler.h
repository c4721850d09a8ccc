#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

#include "platform/scheduler.h"

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

    std::thread::id loopThread() const { return loopThread_; }
    bool onLoopThread() const { return std::this_thread::get_id() == loopThread_; }
    // Exceptions that escaped posted or sent tasks.
    int escapedExceptions() const { return escaped_; }

  private:
    struct Item {
        Task task;
        enum class State { Queued, Running, Done, Dropped } state = State::Queued;
    };
    void loop();
    bool runNext();  // false when nothing waits
    void runItem(const std::shared_ptr<Item>& item);

    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable done_;
    std::deque<std::shared_ptr<Item>> queue_;
    bool stopping_ = false;
    std::atomic<int> escaped_{0};

    struct Timer {
        Task handler;
        bool enabled = false;
        int interval = 1000;
    };
    std::array<Timer, kTimerCount> timers_;
    std::chrono::steady_clock::time_point start_;
    std::thread::id loopThread_;
    std::thread thread_;
};

}  // namespace qpane
