#include "gui/coalesced_refresh.h"

#include <QObject>

#include <algorithm>

namespace qpane {

CoalescedRefresh::CoalescedRefresh(QObject* context, std::function<void()> refresh,
                                   int minIntervalMs)
    : refresh_(std::move(refresh)), minIntervalMs_(minIntervalMs) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, context, [this] { flush(); });
}

void CoalescedRefresh::request() {
    if (pending_) return;
    pending_ = true;
    const qint64 wait = sinceLast_.isValid() ? minIntervalMs_ - sinceLast_.elapsed() : 0;
    timer_.start(static_cast<int>(std::max<qint64>(wait, 0)));
}

void CoalescedRefresh::flush() {
    if (!pending_) return;
    pending_ = false;
    timer_.stop();
    sinceLast_.start();
    refresh_();
}

}  // namespace qpane
