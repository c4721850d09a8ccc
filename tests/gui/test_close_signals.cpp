// SIGTERM, SIGINT and SIGHUP as requests to close the window: the first one reaches the
// window's thread as one request; a second one ends the process at once; a signal that the
// program was started with ignored stays ignored; the default actions come back at the end.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QtTest>

#include "gui/close_signals.h"

using namespace qpane;

namespace {

void (*actionOf(int sig))(int) {
    struct sigaction now {};
    ::sigaction(sig, nullptr, &now);
    return now.sa_handler;
}

// The status of a child of this process that raises sig the given number of times and then
// exits with 7 (128 + n when a signal n ended it).
int childThatRaises(int sig, int times) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (int i = 0; i < times; ++i)
            ::raise(sig);
        ::_exit(7);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

class TestCloseSignals : public QObject {
    Q_OBJECT

  private slots:
    void firstSignalIsOneCloseRequest_data() {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void firstSignalIsOneCloseRequest() {
        QFETCH(int, sig);
        CloseSignals closeSignals;
        QVERIFY(closeSignals.active());
        QSignalSpy requests(&closeSignals, &CloseSignals::closeRequested);
        ::raise(sig);
        // It comes through the event loop, not from inside the signal handler.
        QCOMPARE(requests.count(), 0);
        QVERIFY(requests.wait(5000));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0).at(0).toInt(), sig);
        QTest::qWait(50);
        QCOMPARE(requests.count(), 1);
    }

    void secondSignalEndsTheProcessAtOnce() {
        CloseSignals closeSignals;
        QCOMPARE(childThatRaises(SIGTERM, 1), 7);  // the first one only asks
        QCOMPARE(childThatRaises(SIGTERM, 2), 128 + SIGTERM);
        QCOMPARE(childThatRaises(SIGHUP, 2), 128 + SIGHUP);
    }

    void defaultActionsComeBackWhenItGoes() {
        {
            CloseSignals closeSignals;
            for (int sig : {SIGTERM, SIGINT, SIGHUP})
                QVERIFY(actionOf(sig) != SIG_DFL);
        }
        for (int sig : {SIGTERM, SIGINT, SIGHUP})
            QVERIFY(actionOf(sig) == SIG_DFL);
        QCOMPARE(childThatRaises(SIGTERM, 1), 128 + SIGTERM);
    }

    // Under nohup the terminal closing must not end the console.
    void signalIgnoredAtStartStaysIgnored() {
        ::signal(SIGHUP, SIG_IGN);
        {
            CloseSignals closeSignals;
            QVERIFY(actionOf(SIGHUP) == SIG_IGN);
            QVERIFY(actionOf(SIGTERM) != SIG_DFL);
            QSignalSpy requests(&closeSignals, &CloseSignals::closeRequested);
            ::raise(SIGHUP);
            QTest::qWait(50);
            QCOMPARE(requests.count(), 0);
        }
        QVERIFY(actionOf(SIGHUP) == SIG_IGN);
        ::signal(SIGHUP, SIG_DFL);
    }

    void oneAtATime() {
        CloseSignals first;
        CloseSignals second;
        QVERIFY(first.active());
        QVERIFY(!second.active());
    }
};

QTEST_MAIN(TestCloseSignals)
#include "test_close_signals.moc"
