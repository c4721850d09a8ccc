#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qpane {

// The tasks that other threads hand to the user-interface thread, the queue behind every
// Scheduler's post() and send(). One thread owns the queue and runs its tasks, in the order
// they came, when its scheduler lets them run (runNext, runPending); any thread may queue.
// A sender waits until its task has run, unless it cancels or the queue shuts down first;
// a task that has started is always waited for, however it ends.
class TaskQueue {
  public:
    using Task = std::function<void()>;
    // Runs one task on the owning thread: the scheduler's frame around every task (the
    // window's nesting depth). Without one the task is called as it is.
    using Runner = std::function<void(const Task&)>;
    // Called on the queueing thread, outside the lock, after each task that was queued: the
    // scheduler arranges for its thread to run what waits.
    using WakeUp = std::function<void()>;

    // The thread that creates the queue owns it until setOwner says otherwise.
    explicit TaskQueue(WakeUp wakeUp = {}, Runner runner = {});
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    void setOwner(std::thread::id owner) { owner_ = owner; }
    bool onOwnerThread() const { return std::this_thread::get_id() == owner_.load(); }

    // Queues a task and returns at once; after shutdown the task is dropped.
    void post(Task task);

    // On the owning thread, runs the task at once unless *cancel is set. From any other
    // thread, queues it and waits: true once it has run; false, without running it, when
    // *cancel becomes true or the queue shuts down before it started.
    bool send(Task task, const std::atomic<bool>* cancel = nullptr);

    // On the owning thread: runs the first task that waits; false when none waits. A task
    // that throws counts as run (its sender is released) and the exception goes on to the
    // caller, leaving the tasks behind it queued.
    bool runNext();
    // On the owning thread: runs tasks until none waits, those queued meanwhile included.
    void runPending();
    // On the owning thread: waits until a task is queued; false once the queue shuts down.
    bool waitForTask();

    // Drops the tasks that wait and releases their senders; later ones are dropped at once.
    // A task that is running is still waited for.
    void shutdown();
    bool stopped() const;

  private:
    // What a waiting sender sees of its task; lives on the sender's stack.
    struct Sent {
        enum class State { Queued, Running, Done, Dropped } state = State::Queued;
    };
    struct Entry {
        Task task;
        Sent* sent = nullptr;  // null for a posted task
    };
    bool enqueue(Task task, Sent* sent, const std::atomic<bool>* cancel);
    void run(const Task& task) const;
    void dropLocked(Sent& sent);

    WakeUp wakeUp_;
    Runner runner_;
    std::atomic<std::thread::id> owner_;

    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<Entry> entries_;
    bool stopped_ = false;
};

}  // namespace qpane
