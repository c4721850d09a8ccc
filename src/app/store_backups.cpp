#include "app/store_backups.h"

#include <sqlite3.h>

#include "platform/scheduler.h"
#include "store/database.h"
#include "store/query.h"
#include "store/store_backup.h"

namespace qpane {

struct StoreBackups::State {
    std::unique_ptr<SteppedBackup> copy;
    bool stepQueued = false;   // a step task waits on the scheduler
    bool failureTold = false;  // since the last copy that succeeded
    int64_t startedAt = 0;     // scheduler time of the last start
    int64_t changesAtStart = 0;
    int completed = 0;
    std::string lastName;
};

StoreBackups::StoreBackups(Database& store, Scheduler& scheduler, Clock clock)
    : store_(store),
      scheduler_(scheduler),
      clock_(clock ? std::move(clock) : Clock([] { return std::chrono::system_clock::now(); })),
      lock_(StoreLock::tryTake(store.file().parent_path())),
      state_(std::make_shared<State>()) {
    state_->startedAt = scheduler_.now();
    state_->changesAtStart = sqlite3_total_changes64(store_.handle());
}

StoreBackups::~StoreBackups() {
    // An unfinished copy is abandoned before the store's connection closes.
    state_->copy.reset();
}

bool StoreBackups::copying() const {
    return state_->copy != nullptr;
}

int StoreBackups::completed() const {
    return state_->completed;
}

std::string StoreBackups::lastName() const {
    return state_->lastName;
}

void StoreBackups::takeNow() {
    // 実行 closes the ports first: no race waits, and the copy holds the results as they
    // were before the operator answers the questions that delete them. A copy in progress
    // is finished now instead; it holds the same state.
    if (!state_->copy) start();
    if (state_->copy) advance(-1);
}

void StoreBackups::finish() {
    if (state_->copy) advance(-1);
}

void StoreBackups::pulse() {
    State& s = *state_;
    if (!s.copy) {
        if (scheduler_.now() - s.startedAt < kIntervalMs) return;
        if (sqlite3_total_changes64(store_.handle()) == s.changesAtStart) return;
        start();
    }
    schedule();
}

void StoreBackups::start() {
    State& s = *state_;
    s.startedAt = scheduler_.now();
    s.changesAtStart = sqlite3_total_changes64(store_.handle());
    const std::filesystem::path folder = backupFolderOf(store_.file().parent_path());
    try {
        pruneBackups(folder);  // leftovers of a copy that a crash cut short
        s.copy = std::make_unique<SteppedBackup>(store_.handle(), folder, clock_());
    } catch (const EDatabaseError& e) {
        failed(e.what());
    }
}

void StoreBackups::failed(const std::string& text) {
    State& s = *state_;
    s.copy.reset();
    if (!s.failureTold && report_) report_(text);
    s.failureTold = true;
}

bool StoreBackups::advance(int pages) {
    State& s = *state_;
    const int before = s.copy->copiedPages();
    const bool first = s.copy->totalPages() == 0;
    try {
        if (!s.copy->step(pages)) return first || s.copy->copiedPages() != before;
    } catch (const EDatabaseError& e) {
        failed(e.what());
        return false;
    }
    s.lastName = s.copy->file().filename().string();
    s.copy.reset();
    ++s.completed;
    s.failureTold = false;
    pruneBackups(backupFolderOf(store_.file().parent_path()));
    return false;
}

void StoreBackups::schedule() {
    State& s = *state_;
    if (s.stepQueued || !s.copy) return;
    s.stepQueued = true;
    std::weak_ptr<State> weak = state_;
    scheduler_.post([this, weak] {
        const std::shared_ptr<State> alive = weak.lock();
        if (!alive) return;
        alive->stepQueued = false;
        // Inside a transaction of the store's connection the pages are not settled yet, and
        // a copy that another program holds back makes no progress: the next entry into the
        // window goes on with it.
        if (!alive->copy || !sqlite3_get_autocommit(store_.handle())) return;
        if (advance(kPagesPerStep)) schedule();
    });
}

}  // namespace qpane
