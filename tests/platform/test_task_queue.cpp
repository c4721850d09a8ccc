#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/task_queue.h"

namespace qpane {
namespace {

// Counts events that other threads report; waitFor blocks until n have happened.
class Events {
  public:
    void add() {
        {
            std::lock_guard lock(mutex_);
            ++count_;
        }
        changed_.notify_all();
    }
    void waitFor(int n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return count_ >= n; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int count_ = 0;
};

// A thread that owns a queue and runs its tasks until the queue shuts down, as the loop of a
// user-interface thread does.
struct OwnerThread {
    TaskQueue& queue;
    std::thread thread;
    std::atomic<int> escaped{0};
    explicit OwnerThread(TaskQueue& q) : queue(q) {
        thread = std::thread([this] {
            while (queue.waitForTask()) {
                try {
                    queue.runNext();
                } catch (const std::runtime_error&) {
                    ++escaped;
                }
            }
        });
        queue.setOwner(thread.get_id());
    }
    ~OwnerThread() {
        queue.shutdown();
        thread.join();
    }
};

TEST(TaskQueue, TasksFromManyThreadsRunOnTheOwnerInTheOrderEachThreadGaveThem) {
    constexpr int kThreads = 4;
    constexpr int kTasks = 200;  // per thread; every fourth one sent, the others posted
    TaskQueue queue;
    const std::thread::id owner = std::this_thread::get_id();
    std::vector<std::vector<int>> ran(kThreads);  // touched by the owner only
    int total = 0;
    std::atomic<int> offOwner{0};
    std::atomic<int> sendsThatReturnedEarly{0};

    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kTasks; ++i) {
                auto task = [&, t, i] {
                    if (std::this_thread::get_id() != owner) ++offOwner;
                    ran[t].push_back(i);
                    ++total;
                };
                if (i % 4 == 3) {
                    // The sender reads what the task wrote: it must have run already.
                    int seen = -1;
                    const bool sent = queue.send([&] {
                        task();
                        seen = i;
                    });
                    if (!sent || seen != i) ++sendsThatReturnedEarly;
                } else {
                    queue.post(task);
                }
            }
        });
    }
    while (total < kThreads * kTasks) {
        ASSERT_TRUE(queue.waitForTask());
        queue.runNext();
    }
    for (auto& t : threads)
        t.join();

    EXPECT_EQ(offOwner, 0);
    EXPECT_EQ(sendsThatReturnedEarly, 0);
    std::vector<int> inOrder;
    for (int i = 0; i < kTasks; ++i)
        inOrder.push_back(i);
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(ran[t], inOrder) << "thread " << t;
    EXPECT_FALSE(queue.runNext());
}

TEST(TaskQueue, PostsAndSendsRunInTheOrderTheyCame) {
    Events queued;
    TaskQueue queue([&] { queued.add(); });
    std::vector<std::string> log;
    queue.post([&] { log.push_back("posted 1"); });
    std::thread sender([&] { queue.send([&] { log.push_back("sent"); }); });
    queued.waitFor(2);
    queue.post([&] { log.push_back("posted 2"); });
    queue.runPending();
    sender.join();
    EXPECT_EQ(log, (std::vector<std::string>{"posted 1", "sent", "posted 2"}));
}

TEST(TaskQueue, SendOnTheOwnerThreadRunsAtOnceUnlessCancelled) {
    int depth = 0;
    int seenDepth = -1;
    TaskQueue queue({}, [&](const TaskQueue::Task& task) {
        ++depth;
        task();
        --depth;
    });
    EXPECT_TRUE(queue.send([&] { seenDepth = depth; }));
    EXPECT_EQ(seenDepth, 1);  // inside the runner, as queued tasks are

    std::atomic<bool> cancel{true};
    bool ran = false;
    EXPECT_FALSE(queue.send([&] { ran = true; }, &cancel));
    EXPECT_FALSE(ran);
    EXPECT_FALSE(queue.runNext());  // nothing was queued
}

TEST(TaskQueue, SenderThatCancelsBeforeTheTaskStartsGetsFalseAndTheTaskNeverRuns) {
    Events queued;
    TaskQueue queue([&] { queued.add(); });
    std::atomic<bool> cancel{false};
    bool ran = false;
    bool result = true;
    std::thread sender([&] { result = queue.send([&] { ran = true; }, &cancel); });
    queued.waitFor(1);
    cancel = true;
    sender.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(queue.runNext());  // the cancelled task left the queue
    EXPECT_FALSE(ran);

    // A sender whose flag is already set does not queue at all.
    bool late = true;
    std::thread lateSender([&] { late = queue.send([&] { ran = true; }, &cancel); });
    lateSender.join();
    EXPECT_FALSE(late);
    EXPECT_FALSE(queue.runNext());
    EXPECT_FALSE(ran);
}

TEST(TaskQueue, ShutdownReleasesWaitingSendersAndDropsLaterTasks) {
    constexpr int kSenders = 3;
    Events queued;
    TaskQueue queue([&] { queued.add(); });
    std::atomic<int> ran{0};
    std::atomic<int> released{0};
    std::atomic<int> succeeded{0};
    std::vector<std::thread> senders;
    for (int i = 0; i < kSenders; ++i) {
        senders.emplace_back([&] {
            if (queue.send([&] { ++ran; })) ++succeeded;
            ++released;
        });
    }
    queued.waitFor(kSenders);
    queue.post([&] { ++ran; });
    queue.shutdown();
    for (auto& s : senders)
        s.join();
    EXPECT_EQ(released, kSenders);
    EXPECT_EQ(succeeded, 0);

    queue.post([&] { ++ran; });
    bool later = true;
    std::thread laterSender([&] { later = queue.send([&] { ++ran; }); });
    laterSender.join();
    EXPECT_FALSE(later);
    EXPECT_TRUE(queue.stopped());
    EXPECT_FALSE(queue.waitForTask());
    EXPECT_FALSE(queue.runNext());
    EXPECT_EQ(ran, 0);
}

TEST(TaskQueue, ShutdownWhileTheTaskRunsStillWaitsForIt) {
    TaskQueue queue;
    Events started;
    std::mutex gateMutex;
    std::condition_variable gateOpened;
    bool gateOpen = false;
    bool finished = false;  // written by the task, read by the sender after send returns
    bool finishedWhenReleased = false;
    bool result = false;
    {
        OwnerThread owner(queue);
        std::thread sender([&] {
            result = queue.send([&] {
                started.add();
                std::unique_lock lock(gateMutex);
                gateOpened.wait(lock, [&] { return gateOpen; });
                finished = true;
            });
            finishedWhenReleased = finished;
        });
        started.waitFor(1);
        queue.shutdown();
        {
            std::lock_guard lock(gateMutex);
            gateOpen = true;
        }
        gateOpened.notify_all();
        sender.join();
    }
    EXPECT_TRUE(result);
    EXPECT_TRUE(finishedWhenReleased);
}

TEST(TaskQueue, TaskThatThrowsReleasesItsSenderAndLeavesTheRestQueued) {
    TaskQueue queue;
    bool result = false;
    bool afterRan = false;
    std::thread sender(
        [&] { result = queue.send([] { throw std::runtime_error("notification failed"); }); });
    queue.waitForTask();
    queue.post([&] { afterRan = true; });
    EXPECT_THROW(queue.runPending(), std::runtime_error);
    sender.join();
    EXPECT_TRUE(result);  // it started: the sender was waited for, and released
    EXPECT_FALSE(afterRan);
    EXPECT_TRUE(queue.runNext());
    EXPECT_TRUE(afterRan);
}

TEST(TaskQueue, OwnerLoopGoesOnAfterATaskThatThrows) {
    TaskQueue queue;
    OwnerThread owner(queue);
    std::thread poster([&] { queue.post([] { throw std::runtime_error("posted task failed"); }); });
    poster.join();
    bool sentRan = false;
    bool result = false;
    std::thread sender([&] {
        result = queue.send([] { throw std::runtime_error("sent task failed"); });
        result = result && queue.send([&] { sentRan = true; });
    });
    sender.join();
    EXPECT_TRUE(result);
    EXPECT_TRUE(sentRan);
    EXPECT_EQ(owner.escaped, 2);
}

}  // namespace
}  // namespace qpane
