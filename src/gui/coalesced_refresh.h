#pragma once

#include <functional>

class QObject;

namespace qpane {

// Runs a refresh once per turn of the event loop, however often it is requested in between:
// a memo that takes a megabyte byte by byte, or a query that moves its cursor a thousand
// times in one handler, repaints once. The refresh belongs to context (a member of it), and
// is dropped with it.
class CoalescedRefresh {
  public:
    CoalescedRefresh(QObject* context, std::function<void()> refresh);

    void request();
    bool pending() const { return pending_; }
    // Runs a requested refresh now instead of at the end of the turn.
    void flush();

  private:
    QObject* context_;
    std::function<void()> refresh_;
    bool pending_ = false;
};

}  // namespace qpane
