#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "store/store_lock.h"

namespace qpane {

class Database;
class Scheduler;

// The automatic backups of the window's store: one at every 実行, and one every five minutes
// while results change, into the backup folder beside the store, keeping the newest ones.
// A copy goes a few pages at a time, each step a task of its own on the user-interface
// thread, so that the race never waits for more than one step; a step waits while the
// store's connection is inside a transaction. The window holds the store's lock through this
// unit for as long as it is open (see StoreLock).
class StoreBackups {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;
    using FailureReport = std::function<void(const std::string& text)>;

    static constexpr int64_t kIntervalMs = 5 * 60 * 1000;
    static constexpr int kPagesPerStep = 8;

    // The backups of `store` go to the backup folder beside it; `clock` names them (the wall
    // clock when empty); the interval runs on the scheduler's time.
    StoreBackups(Database& store, Scheduler& scheduler, Clock clock = {});
    ~StoreBackups();
    StoreBackups(const StoreBackups&) = delete;
    StoreBackups& operator=(const StoreBackups&) = delete;

    // Told once when a copy fails, and again only after a copy has succeeded since. The race
    // goes on either way.
    void setFailureReport(FailureReport report) { report_ = std::move(report); }

    // A backup now, copied at once (実行, while the ports are closed).
    void takeNow();
    // Completes a copy in progress at once (the tests, to look at it).
    void finish();
    // After every entry into the window: starts the five-minute backup when it is due and
    // results changed since the last one started.
    void pulse();

    bool copying() const;
    // Backups completed by this window, and the name of the last one.
    int completed() const;
    std::string lastName() const;
    bool holdsStoreLock() const { return lock_.has_value(); }

  private:
    struct State;
    void start();
    // One step of the copy; true when it made progress and is not complete yet.
    bool advance(int pages);
    void failed(const std::string& text);
    // Queues the next step on the scheduler.
    void schedule();

    Database& store_;
    Scheduler& scheduler_;
    Clock clock_;
    FailureReport report_;
    std::optional<StoreLock> lock_;
    // Shared with the step tasks queued on the scheduler, which outlive nothing: a task that
    // runs after the window ended finds the state gone.
    std::shared_ptr<State> state_;
};

}  // namespace qpane
