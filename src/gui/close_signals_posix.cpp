#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <iterator>

#include "gui/close_signals.h"

namespace qpane {

namespace {

// A signal handler can reach nothing but what it finds in static storage: the write end of
// the pipe that carries the signal into the window's thread, and whether one came already.
int requestWriteEnd = -1;
volatile sig_atomic_t requestReceived = 0;
std::atomic<bool> instanceExists{false};

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int number) {
    if (requestReceived) {
        // The shut-down of the first request is running (or is stuck): this one ends the
        // program now, with the status of this signal.
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    requestReceived = 1;
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(requestWriteEnd, &byte, 1);
    errno = savedErrno;
}

void setHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals)
        sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

CloseSignals::CloseSignals(QObject* parent) : QObject(parent) {
    if (instanceExists.exchange(true)) return;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        instanceExists = false;
        return;
    }
    readEnd_ = ends[0];
    requestWriteEnd = ends[1];
    requestReceived = 0;
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { takeRequests(); });
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        // A signal that the console was started with ignored stays ignored (nohup: the
        // terminal closing does not end it).
        struct sigaction before {};
        ::sigaction(kSignals[i], nullptr, &before);
        if (before.sa_handler == SIG_IGN) continue;
        setHandler(kSignals[i], onSignal);
        caught_[i] = true;
    }
}

CloseSignals::~CloseSignals() {
    if (!notifier_) return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        if (caught_[i]) setHandler(kSignals[i], SIG_DFL);
    delete notifier_;
    ::close(readEnd_);
    ::close(requestWriteEnd);
    requestWriteEnd = -1;
    instanceExists = false;
}

void CloseSignals::takeRequests() {
    unsigned char number = 0;
    int first = 0;
    while (::read(readEnd_, &number, 1) == 1)
        if (!first) first = number;
    if (first == 0 || requested_) return;
    requested_ = true;
    emit closeRequested(first);
}

}  // namespace qpane
