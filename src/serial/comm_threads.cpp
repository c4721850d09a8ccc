#include "serial/comm_threads.h"

namespace qpane {

namespace {

// Half-duplex line turns around the chunks of one wake-up: the waits let the far end turn
// its own driver around before and after.
void prepareLine(CommSession& s) {
    const TCommFlowCtrls flow = s.flowCtrl.load();
    if (flow != cfcHalfHigh && flow != cfcHalfLow) return;
    s.sleepUnlessStopped(100);
    s.device().setRts(flow == cfcHalfHigh);
    s.sleepUnlessStopped(10);
}

void releaseLine(CommSession& s) {
    const TCommFlowCtrls flow = s.flowCtrl.load();
    if (flow != cfcHalfHigh && flow != cfcHalfLow) return;
    s.sleepUnlessStopped(20);
    s.device().setRts(flow == cfcHalfLow);
}

}  // namespace

TCommTransThread::TCommTransThread(std::shared_ptr<CommSession> session) {
    session->transmitting = true;
    try {
        thread_ = std::thread([session] { run(session); });
    } catch (...) {
        session->transmitting = false;
        throw;
    }
}

TCommTransThread::~TCommTransThread() {
    join();
}

void TCommTransThread::join() {
    if (thread_.joinable()) thread_.join();
}

void TCommTransThread::run(const std::shared_ptr<CommSession>& session) {
    CommSession& s = *session;
    CommDevice& device = s.device();
    while (!s.stop && !device.lost()) {
        bool wrote = false;
        int waitMs = 100;
        while (auto chunk = s.takeChunk(waitMs)) {
            waitMs = 0;
            const int size = static_cast<int>(chunk->size());
            if (!s.transmitPaused && !s.stop && !device.lost()) {
                if (!wrote) prepareLine(s);
                wrote = true;
                if (device.write(chunk->data(), size) < 0) {
                    if (device.lost()) {
                        s.reportLoss(false);
                    } else {
                        const uint32_t errors = device.takeLineErrors();
                        if (errors & kCommErrReported) s.post(CommNotification::Error, errors);
                    }
                }
            }
            s.post(CommNotification::Transmitted, static_cast<uint32_t>(size));
            s.chunkDone(size);
        }
        if (wrote) releaseLine(s);
    }
    s.transmitting = false;
    s.dropQueue();
}

TCommReceiveThread::TCommReceiveThread(std::shared_ptr<CommSession> session) {
    session->receiving = true;
    try {
        thread_ = std::thread([session] { run(session); });
    } catch (...) {
        session->receiving = false;
        throw;
    }
}

TCommReceiveThread::~TCommReceiveThread() {
    join();
}

void TCommReceiveThread::join() {
    if (thread_.joinable()) thread_.join();
}

void TCommReceiveThread::detach() {
    if (thread_.joinable()) thread_.detach();
}

void TCommReceiveThread::run(const std::shared_ptr<CommSession>& session) {
    CommSession& s = *session;
    CommDevice& device = s.device();
    while (!s.stop) {
        uint32_t events = 0;
        const bool happened = device.waitEvent(events);
        if (s.stop) break;
        if (!happened) {
            if (device.lost()) {
                s.reportLoss(true);
                break;
            }
            continue;  // a cancel that was not meant for a stop
        }
        s.handlePortEvents(events);
    }
    s.receiving = false;
    device.setEventMask(0);
}

}  // namespace qpane
