#pragma once

#include <QObject>

#include <array>

class QSocketNotifier;

namespace qpane {

// The requests from outside the window to end the console: on POSIX systems the signals
// SIGTERM (kill, a system shut-down), SIGINT (Ctrl-C) and SIGHUP (the terminal closed). The
// first one asks for the window to close, so that the console shuts down as when the operator
// closes it (the ports closed, the settings written); a second one while that runs ends the
// program at once, as the signal would have without this object. While it exists the three
// signals are caught (except one that the program was started with ignored, as under nohup);
// when it goes they have their default action again. One at a time.
//
// A Windows version takes the console's close, log-off and shut-down events instead
// (SetConsoleCtrlHandler), in a source file of its own behind this same class.
class CloseSignals : public QObject {
    Q_OBJECT
  public:
    explicit CloseSignals(QObject* parent = nullptr);
    ~CloseSignals() override;
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;

    // False when the signals could not be caught (they then end the program as before).
    bool active() const { return notifier_ != nullptr; }

  signals:
    // The first request came (signal: its number), in the window's thread.
    void closeRequested(int signal);

  private:
    void takeRequests();

    int readEnd_ = -1;
    // Which of SIGTERM, SIGINT and SIGHUP are caught: not one that was ignored at start.
    std::array<bool, 3> caught_{};
    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};

}  // namespace qpane
