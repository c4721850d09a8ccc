#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/virtual/virtual_scheduler.h"

namespace qpane {
namespace {

struct Log {
    VirtualScheduler& s;
    std::vector<std::string> lines;
    void add(const std::string& what) { lines.push_back(std::to_string(s.now()) + " " + what); }
};

TEST(VirtualScheduler, TimerDueOneIntervalAfterEnable) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer1, 500);
    s.setTimerHandler(TimerId::Timer1, [&] { log.add("t1"); });
    s.advance(200);
    s.setTimerEnabled(TimerId::Timer1, true);
    s.advance(1300);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"700 t1", "1200 t1"}));
    EXPECT_EQ(s.now(), 1500);
}

TEST(VirtualScheduler, TiesRunInTimerOrder) {
    VirtualScheduler s;
    Log log{s, {}};
    for (TimerId id : {TimerId::Timer3, TimerId::Timer2, TimerId::Timer1}) {
        s.setTimerInterval(id, 300);
        s.setTimerHandler(id, [&, id] { log.add("t" + std::to_string(static_cast<int>(id) + 1)); });
        s.setTimerEnabled(id, true);
    }
    s.advance(300);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"300 t1", "300 t2", "300 t3"}));
}

TEST(VirtualScheduler, SettingSameValueChangesNothing) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer2, 300);
    s.setTimerHandler(TimerId::Timer2, [&] { log.add("t2"); });
    s.setTimerEnabled(TimerId::Timer2, true);
    s.advance(200);
    s.setTimerEnabled(TimerId::Timer2, true);
    s.setTimerInterval(TimerId::Timer2, 300);
    s.advance(100);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"300 t2"}));
}

TEST(VirtualScheduler, IntervalChangeRestartsEnabledTimer) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer2, 300);
    s.setTimerHandler(TimerId::Timer2, [&] { log.add("t2"); });
    s.setTimerEnabled(TimerId::Timer2, true);
    s.advance(200);
    s.setTimerInterval(TimerId::Timer2, 500);
    s.advance(600);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"700 t2"}));
}

TEST(VirtualScheduler, HandlerThatReEnablesRestartsFromThatMoment) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer1, 500);
    s.setTimerHandler(TimerId::Timer1, [&] {
        log.add("t1");
        s.setTimerEnabled(TimerId::Timer1, false);
        s.pause(120);
        s.setTimerEnabled(TimerId::Timer1, true);
    });
    s.setTimerEnabled(TimerId::Timer1, true);
    s.advance(1200);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"500 t1", "1120 t1"}));
    EXPECT_EQ(s.now(), 1240);  // the second handler carried the time past the end
}

TEST(VirtualScheduler, HandlerDisablingItselfStops) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer1, 500);
    s.setTimerHandler(TimerId::Timer1, [&] {
        log.add("t1");
        s.setTimerEnabled(TimerId::Timer1, false);
    });
    s.setTimerEnabled(TimerId::Timer1, true);
    s.advance(3000);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"500 t1"}));
}

TEST(VirtualScheduler, TimerThatFellDueDuringPauseFiresOnceAtNextWait) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer3, 500);
    s.setTimerHandler(TimerId::Timer3, [&] { log.add("t3"); });
    s.setTimerEnabled(TimerId::Timer3, true);
    s.pause(2000);  // an operator action's pause: no timer runs in it
    EXPECT_TRUE(log.lines.empty());
    s.advance(0);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"2000 t3"}));
    s.advance(600);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"2000 t3", "2500 t3"}));
}

TEST(VirtualScheduler, PauseOfZeroOrLessTakesNoTime) {
    VirtualScheduler s;
    s.pause(0);
    s.pause(-5);
    EXPECT_EQ(s.now(), 0);
    s.pause(7);
    EXPECT_EQ(s.now(), 7);
}

TEST(VirtualScheduler, PostedTasksRunBeforeTimers) {
    VirtualScheduler s;
    Log log{s, {}};
    s.setTimerInterval(TimerId::Timer1, 100);
    s.setTimerHandler(TimerId::Timer1, [&] {
        log.add("t1");
        s.setTimerEnabled(TimerId::Timer1, false);
    });
    s.setTimerEnabled(TimerId::Timer1, true);
    s.pause(100);
    s.post([&] { log.add("posted"); });
    s.advance(0);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"100 posted", "100 t1"}));
}

TEST(VirtualScheduler, SendRunsAtOnceUnlessCancelled) {
    VirtualScheduler s;
    int runs = 0;
    EXPECT_TRUE(s.send([&] { ++runs; }));
    std::atomic<bool> cancel{true};
    EXPECT_FALSE(s.send([&] { ++runs; }, &cancel));
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace qpane
