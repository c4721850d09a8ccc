#include "platform/qt/qt_scheduler.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>

namespace qpane {

namespace {

// Holds the nesting depth at a value for the length of a scope and gives it back on every
// exit. A task that throws must not leave the depth raised: every later tick would wait for
// a handler that no longer runs.
class DepthScope {
  public:
    DepthScope(int& depth, int value) : depth_(depth), saved_(depth) { depth_ = value; }
    ~DepthScope() { depth_ = saved_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

  private:
    int& depth_;
    int saved_;
};

}  // namespace

QtScheduler::QtScheduler()
    : queue_([this] { scheduleDrain(); },
             [this](const Task& task) {
                 const DepthScope running(depth_, depth_ + 1);
                 task();
             }) {
    clock_.start();
    for (size_t i = 0; i < timers_.size(); ++i) {
        QTimer& t = timers_[i].timer;
        t.setTimerType(Qt::PreciseTimer);
        t.setInterval(1000);
        connect(&t, &QTimer::timeout, this, [this, i] { onTimeout(i); });
    }
}

QtScheduler::~QtScheduler() {
    shutdown();
}

void QtScheduler::setTimerHandler(TimerId id, Task handler) {
    timers_[static_cast<size_t>(id)].handler = std::move(handler);
}

void QtScheduler::setTimerEnabled(TimerId id, bool enabled) {
    TimerSlot& slot = timers_[static_cast<size_t>(id)];
    if (slot.timer.isActive() == enabled) return;
    if (enabled) {
        slot.timer.start();
    } else {
        slot.timer.stop();
        slot.tickPending = false;
    }
}

bool QtScheduler::timerEnabled(TimerId id) const {
    return timers_[static_cast<size_t>(id)].timer.isActive();
}

void QtScheduler::setTimerInterval(TimerId id, int ms) {
    QTimer& t = timers_[static_cast<size_t>(id)].timer;
    if (t.interval() == ms) return;
    t.setInterval(ms);  // restarts an active timer
}

int QtScheduler::timerInterval(TimerId id) const {
    return timers_[static_cast<size_t>(id)].timer.interval();
}

void QtScheduler::pause(int64_t ms) {
    if (ms <= 0) return;
    // Core handlers that fall due meanwhile wait (depth_ > 0); operator input waits in the
    // window system's queue; painting goes on.
    const DepthScope inPause(depth_, depth_ + 1);
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtScheduler::processMessages() {
    // Lets what waits run inside the current handler, as the window's message loop would.
    const DepthScope open(depth_, 0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    drain();
}

void QtScheduler::post(Task task) {
    queue_.post(std::move(task));
}

bool QtScheduler::send(Task task, const std::atomic<bool>* cancel) {
    return queue_.send(std::move(task), cancel);
}

void QtScheduler::run(Task task) {
    if (depth_ == 0) {
        {
            const DepthScope running(depth_, depth_ + 1);
            task();
        }
        scheduleDrain();
        return;
    }
    post(std::move(task));
}

void QtScheduler::shutdown() {
    queue_.shutdown();
}

void QtScheduler::onTimeout(size_t index) {
    TimerSlot& slot = timers_[index];
    if (depth_ > 0) {
        slot.tickPending = true;  // like a timer message: one tick waits, however late
        return;
    }
    runTick(index);
}

void QtScheduler::runTick(size_t index) {
    TimerSlot& slot = timers_[index];
    slot.tickPending = false;
    if (!slot.timer.isActive() || !slot.handler) return;
    Task handler = slot.handler;
    {
        const DepthScope running(depth_, depth_ + 1);
        handler();
    }
    scheduleDrain();
}

void QtScheduler::scheduleDrain() {
    if (queue_.stopped() || drainScheduled_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            drainScheduled_ = false;
            if (depth_ == 0) drain();
        },
        Qt::QueuedConnection);
}

void QtScheduler::drain() {
    // Port notifications and operator actions first, then the timers, as the window handles
    // input before timer messages.
    queue_.runPending();
    for (size_t i = 0; i < timers_.size(); ++i)
        if (timers_[i].tickPending) runTick(i);
}

}  // namespace qpane
