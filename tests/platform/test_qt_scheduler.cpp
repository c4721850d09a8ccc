// The window program's scheduler on a real Qt event loop: a task that throws must leave the
// scheduler as it found it, or the window stops handling ticks and port notifications.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <thread>

#include "platform/qt/qt_scheduler.h"

namespace qpane {

namespace {

// Runs the event loop until done() holds or a few seconds have passed; exceptions that the
// scheduler lets out of a task are counted, not passed on.
template <class Done>
int processEventsUntil(Done done) {
    int caught = 0;
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired()) {
        try {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        } catch (const std::runtime_error&) {
            ++caught;
        }
    }
    return caught;
}

}  // namespace

class TestQtScheduler : public QObject {
    Q_OBJECT
  private slots:
    void throwingActionLeavesTheSchedulerIdle();
    void throwingSentTaskReleasesItsSender();
};

void TestQtScheduler::throwingActionLeavesTheSchedulerIdle() {
    QtScheduler s;
    bool threw = false;
    try {
        s.run([] { throw std::runtime_error("handler failed"); });
    } catch (const std::runtime_error&) {
        threw = true;
    }
    QVERIFY(threw);
    QVERIFY(!s.busy());

    // The next operator action runs at once, not after a handler that no longer runs.
    bool ran = false;
    s.run([&] { ran = true; });
    QVERIFY(ran);

    // And the timers tick again.
    int ticks = 0;
    s.setTimerInterval(TimerId::Timer1, 1);
    s.setTimerHandler(TimerId::Timer1, [&] { ++ticks; });
    s.setTimerEnabled(TimerId::Timer1, true);
    QTRY_VERIFY(ticks > 0);
    s.setTimerEnabled(TimerId::Timer1, false);
}

void TestQtScheduler::throwingSentTaskReleasesItsSender() {
    QtScheduler s;
    std::atomic<bool> started{false};
    std::promise<bool> sent;
    auto result = sent.get_future();
    std::thread receiver([&] {
        sent.set_value(s.send([&] {
            started = true;
            throw std::runtime_error("notification failed");
        }));
    });
    QCOMPARE(processEventsUntil([&] { return started.load(); }), 1);

    // The task ran (and failed): its sender is released and told that it ran.
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // The receive thread would wait for ever: it cannot be joined, end here.
        std::fputs("FAIL: the sender of a task that threw is never released\n", stderr);
        std::_Exit(1);
    }
    receiver.join();
    QVERIFY(result.get());
    QVERIFY(!s.busy());

    // Later notifications still run.
    bool ran = false;
    std::thread poster([&] { s.post([&] { ran = true; }); });
    poster.join();
    processEventsUntil([&] { return ran; });
    QVERIFY(ran);
}

}  // namespace qpane

QTEST_GUILESS_MAIN(qpane::TestQtScheduler)
#include "test_qt_scheduler.moc"
