#include "gui/coalesced_refresh.h"

#include <QMetaObject>
#include <QObject>

namespace qpane {

CoalescedRefresh::CoalescedRefresh(QObject* context, std::function<void()> refresh)
    : context_(context), refresh_(std::move(refresh)) {}

void CoalescedRefresh::request() {
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        context_, [this] { flush(); }, Qt::QueuedConnection);
}

void CoalescedRefresh::flush() {
    if (!pending_) return;
    pending_ = false;
    refresh_();
}

}  // namespace qpane
