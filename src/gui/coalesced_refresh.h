#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class QObject;

namespace qpane {

// Runs a refresh once per turn of the event loop, however often it is requested in between:
// a memo that takes a megabyte byte by byte, or a query that moves its cursor a thousand
// times in one handler, is shown once. With a minimum interval, a refresh that comes sooner
// than that after the last one waits for the rest of it, so that a stream of small bursts
// costs a refresh per interval and not one per burst. The refresh belongs to context (a
// member of it), and is dropped with it.
class CoalescedRefresh {
  public:
    CoalescedRefresh(QObject* context, std::function<void()> refresh, int minIntervalMs = 0);

    void request();
    bool pending() const { return pending_; }
    // Runs a requested refresh now instead of at the end of the turn.
    void flush();

  private:
    std::function<void()> refresh_;
    int minIntervalMs_;
    QElapsedTimer sinceLast_;
    QTimer timer_;  // a zero interval fires at the next turn of the event loop
    bool pending_ = false;
};

}  // namespace qpane
