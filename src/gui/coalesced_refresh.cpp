#include "gui/coalesced_refresh.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

namespace qpane {

CoalescedRefresh::CoalescedRefresh(QObject* context, std::function<void()> refresh,
                                   int minIntervalMs)
    : context_(context), refresh_(std::move(refresh)), minIntervalMs_(minIntervalMs) {}

void CoalescedRefresh::request() {
    if (pending_) return;
    pending_ = true;
    const qint64 wait = sinceLast_.isValid() ? minIntervalMs_ - sinceLast_.elapsed() : qint64(0);
    if (wait > 0)
        QTimer::singleShot(static_cast<int>(wait), context_, [this] { flush(); });
    else
        QMetaObject::invokeMethod(
            context_, [this] { flush(); }, Qt::QueuedConnection);
}

void CoalescedRefresh::flush() {
    if (!pending_) return;
    pending_ = false;
    sinceLast_.start();
    refresh_();
}

}  // namespace qpane
