#include "serial/comm_session.h"

#include <chrono>

namespace qpane {

CommSession::CommSession(Scheduler& scheduler, std::shared_ptr<CommLink> link, uint64_t id,
                         std::shared_ptr<CommDevice> device)
    : scheduler_(scheduler), link_(std::move(link)), id_(id), device_(std::move(device)) {}

void CommSession::queueChunk(std::string chunk) {
    {
        std::lock_guard lock(queueMutex_);
        pendingBytes_ += static_cast<int>(chunk.size());
        ++pendingChunks_;
        chunks_.push_back(std::move(chunk));
    }
    queueChanged_.notify_all();
}

int CommSession::pendingChunks() const {
    std::lock_guard lock(queueMutex_);
    return pendingChunks_;
}

int CommSession::pendingBytes() const {
    std::lock_guard lock(queueMutex_);
    return pendingBytes_;
}

std::optional<std::string> CommSession::takeChunk(int ms) {
    std::unique_lock lock(queueMutex_);
    queueChanged_.wait_for(lock, std::chrono::milliseconds(ms),
                           [this] { return !chunks_.empty() || stop.load(); });
    if (chunks_.empty()) return std::nullopt;
    std::string chunk = std::move(chunks_.front());
    chunks_.pop_front();
    return chunk;
}

void CommSession::chunkDone(int size) {
    std::lock_guard lock(queueMutex_);
    pendingBytes_ = pendingBytes_ > size ? pendingBytes_ - size : 0;
    pendingChunks_ = pendingChunks_ > 0 ? pendingChunks_ - 1 : 0;
}

void CommSession::dropQueue() {
    std::lock_guard lock(queueMutex_);
    chunks_.clear();
    pendingBytes_ = 0;
    pendingChunks_ = 0;
}

void CommSession::wakeTransmitter() {
    // Taking the lock orders the wake-up after the flag that the waiter tests.
    { std::lock_guard lock(queueMutex_); }
    queueChanged_.notify_all();
}

void CommSession::sleepUnlessStopped(int ms) {
    std::unique_lock lock(queueMutex_);
    queueChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop.load(); });
}

void CommSession::post(CommNotification what, uint32_t param) {
    scheduler_.post([link = link_, id = id_, what, param] {
        if (link->target) link->target->deliver(id, what, param, false);
    });
}

bool CommSession::send(CommNotification what, uint32_t param) {
    return scheduler_.send(
        [link = link_, id = id_, what, param] {
            if (link->target) link->target->deliver(id, what, param, true);
        },
        &stop);
}

void CommSession::handlePortEvents(uint32_t events) {
    const uint32_t errors = device_->takeLineErrors();
    if (errors & kCommErrReported) send(CommNotification::Error, errors);
    if (events & kCommEvSignals) send(CommNotification::Signal, events);
    if (events & kCommEvRxChar) send(CommNotification::Received, 0);
}

void CommSession::reportLoss(bool viaSend) {
    if (lossReported_.exchange(true)) return;
    // Nothing can be sent or received any more: Write and Read fail from now on.
    transmitting = false;
    receiving = false;
    wakeTransmitter();
    const uint32_t errors = (device_->takeLineErrors() & kCommErrReported) | kCommErrIo;
    if (viaSend)
        send(CommNotification::Error, errors);
    else
        post(CommNotification::Error, errors);
}

}  // namespace qpane
