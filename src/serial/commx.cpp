#include "serial/commx.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

#include "serial/comm_device.h"
#include "serial/comm_session.h"
#include "serial/comm_settings.h"
#include "serial/comm_threads.h"
#include "serial/commx_texts.h"

namespace qpane {

struct TCustomCommX::Impl final : CommNotificationTarget {
    Impl(TCustomCommX& owner, Scheduler& scheduler, CommDeviceProvider& devices)
        : owner(owner), scheduler(scheduler), devices(devices) {
        link->target = this;
    }

    TCustomCommX& owner;
    Scheduler& scheduler;
    CommDeviceProvider& devices;
    std::shared_ptr<CommLink> link = std::make_shared<CommLink>();
    CommTrace* trace = nullptr;
    uint64_t received = 0;  // taken by Read and ReadByte, over every opening
    uint64_t sent = 0;      // handed to the transmitter

    int portNo = 1;
    int bitRate = 9600;
    int charSize = 8;
    TCommParityBits parity = cpbNone;
    TCommStopBits stopBits = csb1;
    TCommFlowCtrls flowCtrl = cfcRtsCts;
    int timeOutTrans = 3000;
    int timeOutReceive = 3000;
    int bufLenTrans = 2048;
    int bufLenReceive = 2048;

    // The open port (the valid handle) and its device control block.
    std::shared_ptr<CommSession> session;
    CommDcb dcb;
    bool hasTransmitter = false;
    uint64_t lastSessionId = 0;
    std::unique_ptr<TCommTransThread> transThread;
    std::unique_ptr<TCommReceiveThread> receiveThread;
    // Receive threads of earlier openings that were closed from inside one of their own
    // notifications: each ends as soon as that handler returns, and is joined later.
    std::vector<std::unique_ptr<TCommReceiveThread>> retired;
    // How deep the user-interface thread is in notifications that receive threads of this
    // component sent and are waiting for.
    int sentDepth = 0;

    bool isOpen() const { return session != nullptr; }
    CommDevice& device() { return session->device(); }

    void open();
    void closePort(bool report);
    void startWorkers();
    void stopWorkers();
    void reapRetired();
    void writeState(const char* failureText);
    void applyFlowCtrl();
    void applyTimeouts();
    void applyBuffers();
    void purgeTransmit();
    void configChanged() {
        if (trace) trace->configChanged(owner);
    }

    void deliver(uint64_t sessionId, CommNotification what, uint32_t param, bool sent) override;
};

namespace {

// Counts the notifications, sent by a receive thread, that the user-interface thread is in.
class SentScope {
  public:
    SentScope(int& depth, bool sent) : depth_(depth), sent_(sent) {
        if (sent_) ++depth_;
    }
    ~SentScope() {
        if (sent_) --depth_;
    }
    SentScope(const SentScope&) = delete;
    SentScope& operator=(const SentScope&) = delete;

  private:
    int& depth_;
    bool sent_;
};

}  // namespace

void TCustomCommX::Impl::deliver(uint64_t sessionId, CommNotification what, uint32_t param,
                                 bool sent) {
    // Notifications count only while the opening that raised them is still open.
    auto current = [&] { return session && session->id() == sessionId; };
    if (!current()) return;
    SentScope scope(sentDepth, sent);
    switch (what) {
        case CommNotification::Transmitted:
            if (owner.OnTrans) owner.OnTrans(owner, static_cast<int>(param));
            break;
        case CommNotification::Received:
            if (owner.OnReceive) {
                const int waiting = owner.InQueueCount();
                if (waiting > 0) owner.OnReceive(owner, waiting);
            }
            break;
        case CommNotification::Signal:
            if ((param & kCommEvModemLines) && owner.OnSignal) owner.OnSignal(owner, param);
            if ((param & kCommEvBreak) && owner.OnBreak && current()) owner.OnBreak(owner);
            break;
        case CommNotification::Error:
            if (owner.OnError) owner.OnError(owner, param);
            break;
    }
}

void TCustomCommX::Impl::writeState(const char* failureText) {
    if (!device().setState(dcb)) throw ECommError(failureText);
}

void TCustomCommX::Impl::applyFlowCtrl() {
    setFlowFlags(dcb, flowCtrl, bufLenReceive);
    session->flowCtrl = flowCtrl;
    writeState(commx_text::kFlowCtrl);
}

void TCustomCommX::Impl::applyTimeouts() {
    if (!device().setTimeouts(makeTimeouts(timeOutTrans, timeOutReceive)))
        throw ECommError(commx_text::kTimeouts);
}

void TCustomCommX::Impl::applyBuffers() {
    if (!device().setBufferSizes(bufLenReceive, bufLenTrans))
        throw ECommError(commx_text::kBuffers);
}

void TCustomCommX::Impl::open() {
    if (isOpen()) throw ECommError(commx_text::kAlreadyOpen);
    if (sentDepth == 0) reapRetired();
    std::shared_ptr<CommDevice> dev = devices.open(portNo);
    if (!dev) {
        if (trace) trace->openFailed(owner);
        throw ECommError(commx_text::kOpenFailed);
    }
    session = std::make_shared<CommSession>(scheduler, link, ++lastSessionId, std::move(dev));
    hasTransmitter = false;
    try {
        applyBuffers();
        purgeTransmit();
        device().purgeInput();
        dcb = CommDcb{};
        device().getState(dcb);
        dcb.xonChar = 0x11;
        dcb.xoffChar = 0x13;
        dcb.errorChar = 0;
        dcb.baudRate = bitRate;
        writeState(commx_text::kBitRate);
        dcb.byteSize = charSize;
        writeState(commx_text::kCharSize);
        dcb.parity = parity;
        writeState(commx_text::kParity);
        dcb.stopBits = stopBits;
        writeState(commx_text::kStopBits);
        applyFlowCtrl();
        applyTimeouts();
        device().setEventMask(kCommEventMask);
        startWorkers();
        scheduler.pause(100);
    } catch (...) {
        // The opening failed after the device opened: close it again, with Close's waits; it
        // counts as a failed opening, never as one that opened and closed.
        closePort(false);
        if (trace) trace->openFailed(owner);
        throw;
    }
    if (trace) trace->opened(owner);
}

void TCustomCommX::Impl::startWorkers() {
    CommDevice& dev = device();
    if (!dev.runsThreads()) {
        // The device reports its events on the user-interface thread as they happen.
        std::weak_ptr<CommSession> weak = session;
        dev.setEventSink([weak](uint32_t events) {
            std::shared_ptr<CommSession> s = weak.lock();
            if (!s || s->stop) return;
            if (s->device().lost()) {
                s->reportLoss(true);
                return;
            }
            s->handlePortEvents(events);
        });
        session->transmitting = true;
        session->receiving = true;
        hasTransmitter = true;
        return;
    }
    try {
        transThread = std::make_unique<TCommTransThread>(session);
    } catch (const std::system_error&) {
        throw ECommError(commx_text::kTransThread);
    }
    hasTransmitter = true;
    try {
        receiveThread = std::make_unique<TCommReceiveThread>(session);
    } catch (const std::system_error&) {
        throw ECommError(commx_text::kReceiveThread);
    }
}

void TCustomCommX::Impl::stopWorkers() {
    session->stop = true;
    session->wakeTransmitter();
    device().cancelWait();
    device().setEventSink(nullptr);
    // The transmit thread never waits for the user-interface thread: it ends at once.
    if (transThread) transThread->join();
    transThread.reset();
    if (receiveThread) {
        // Its pending send is cancelled by the stop flag. Only when this very call runs inside
        // one of its sends can it not end before the handler returns: join it later then.
        if (sentDepth > 0)
            retired.push_back(std::move(receiveThread));
        else
            receiveThread->join();
    }
    receiveThread.reset();
}

void TCustomCommX::Impl::reapRetired() {
    for (auto& thread : retired)
        thread->join();
    retired.clear();
}

void TCustomCommX::Impl::purgeTransmit() {
    if (!isOpen()) return;
    std::shared_ptr<CommSession> s = session;
    if (!hasTransmitter) {
        s->device().purgeOutput();
        return;
    }
    // The paused transmit thread drops its chunks (still counting them down and posting
    // their notifications) while the driver's output is discarded round after round.
    s->transmitPaused = true;
    do {
        s->device().purgeOutput();
        scheduler.pause(1);
    } while (s->pendingBytes() > 0 && s->transmitting);
    s->transmitPaused = false;
    s->wakeTransmitter();
}

void TCustomCommX::Impl::closePort(bool report) {
    if (!isOpen()) return;
    CommDevice& dev = device();
    dev.setDtr(false);
    dev.setRts(false);
    purgeTransmit();
    dev.purgeInput();
    scheduler.pause(100);
    stopWorkers();
    dev.close();
    session.reset();
    hasTransmitter = false;
    if (sentDepth == 0) reapRetired();
    scheduler.pause(100);
    if (report && trace) trace->closed(owner);
}

TCustomCommX::TCustomCommX(Scheduler& scheduler, CommDeviceProvider& devices)
    : impl_(std::make_unique<Impl>(*this, scheduler, devices)) {}

TCustomCommX::~TCustomCommX() {
    impl_->closePort(true);
    impl_->link->target = nullptr;
    // Closed from inside its own handler: the receive thread ends by itself once the
    // handler returns; it holds only its session.
    for (auto& thread : impl_->retired) {
        if (impl_->sentDepth > 0)
            thread->detach();
        else
            thread->join();
    }
}

void TCustomCommX::Open() {
    impl_->open();
}

void TCustomCommX::Close() {
    impl_->closePort(true);
}

bool TCustomCommX::Write(const void* buffer, int count) {
    if (count == 0) return true;
    if (count < 0 || !buffer) return false;
    const char* bytes = static_cast<const char*>(buffer);
    Impl& d = *impl_;
    int handed = 0;
    bool complete = true;
    while (handed < count) {
        if (!d.isOpen() || !d.session->transmitting) {
            complete = false;
            break;
        }
        std::shared_ptr<CommSession> s = d.session;
        CommDevice& dev = s->device();
        if (dev.runsThreads() && s->pendingChunks() >= CommSession::kMaxPendingChunks) {
            d.scheduler.processMessages();
            d.scheduler.pause(1);
            continue;
        }
        // A chunk length below 1 (a failed SetBufLenTrans leaves it stored) would never get on.
        const int size = std::min(count - handed, std::max(1, d.bufLenTrans));
        if (dev.runsThreads()) {
            s->queueChunk(std::string(bytes + handed, static_cast<size_t>(size)));
        } else {
            // Without threads the write completes at once; its notifications are posted as
            // the transmit thread would post them.
            if (dev.write(bytes + handed, size) < 0) {
                const uint32_t errors = dev.takeLineErrors();
                if (errors & kCommErrReported) s->post(CommNotification::Error, errors);
            }
            s->post(CommNotification::Transmitted, static_cast<uint32_t>(size));
        }
        handed += size;
    }
    d.sent += static_cast<uint64_t>(handed);
    if (handed > 0 && d.trace)
        d.trace->transmitted(*this, std::string_view(bytes, static_cast<size_t>(handed)));
    return complete;
}

int TCustomCommX::Read(void* buffer, int count) {
    Impl& d = *impl_;
    if (!d.isOpen() || !d.session->receiving || !buffer || count < 0) return -1;
    char* out = static_cast<char*>(buffer);
    const bool waits = d.device().runsThreads() && d.timeOutReceive > 0;
    const int64_t start = d.scheduler.now();
    int got = 0;
    int result = 0;
    while (got < count) {
        CommDevice& dev = d.device();
        const int n = dev.read(out + got, count - got);
        if (n < 0) {
            const uint32_t errors = dev.takeLineErrors();
            if (errors & kCommErrReported) d.session->post(CommNotification::Error, errors);
            result = -1;
            break;
        }
        got += n;
        if (got == count || !waits || d.scheduler.now() - start >= d.timeOutReceive) break;
        // The wait of a pending read: notifications and timer ticks may run meanwhile.
        d.scheduler.processMessages();
        d.scheduler.pause(1);
        if (!d.isOpen() || !d.session->receiving) {
            result = -1;
            break;
        }
    }
    // Bytes already taken from the queue are handed over rather than dropped with a failure.
    if (got > 0) {
        d.received += static_cast<uint64_t>(got);
        if (d.trace) d.trace->received(*this, std::string_view(out, static_cast<size_t>(got)));
        return got;
    }
    return result < 0 ? -1 : got;
}

bool TCustomCommX::SendString(std::string_view text) {
    if (text.empty()) return true;
    return Write(text.data(), static_cast<int>(text.size()));
}

int TCustomCommX::ReadByte() {
    unsigned char b = 0;
    return Read(&b, 1) == 1 ? b : -1;
}

int TCustomCommX::InQueueCount() {
    return impl_->isOpen() ? impl_->device().inQueueCount() : 0;
}

void TCustomCommX::PurgeTransmit() {
    impl_->purgeTransmit();
}

void TCustomCommX::PurgeReceive() {
    if (impl_->isOpen()) impl_->device().purgeInput();
}

void TCustomCommX::SetRts(bool on) {
    if (impl_->isOpen()) impl_->device().setRts(on);
}

void TCustomCommX::SetDtr(bool on) {
    if (impl_->isOpen()) impl_->device().setDtr(on);
}

int TCustomCommX::PortNo() const {
    return impl_->portNo;
}

void TCustomCommX::SetPortNo(int value) {
    Impl& d = *impl_;
    if (d.portNo == value) return;
    if (!d.isOpen()) {
        d.portNo = value;
        return;
    }
    // Closed under its old number, so that the trace names the device that closed.
    d.closePort(true);
    d.portNo = value;
    d.open();
}

int TCustomCommX::BitRate() const {
    return impl_->bitRate;
}

void TCustomCommX::SetBitRate(int value) {
    Impl& d = *impl_;
    if (d.bitRate == value) return;
    d.bitRate = value;
    if (!d.isOpen()) return;
    d.dcb.baudRate = value;
    d.writeState(commx_text::kBitRate);
    d.configChanged();
}

int TCustomCommX::CharSize() const {
    return impl_->charSize;
}

void TCustomCommX::SetCharSize(int value) {
    Impl& d = *impl_;
    if (d.charSize == value) return;
    d.charSize = value;
    if (!d.isOpen()) return;
    d.dcb.byteSize = value;
    d.writeState(commx_text::kCharSize);
    d.configChanged();
}

TCommParityBits TCustomCommX::ParityBit() const {
    return impl_->parity;
}

void TCustomCommX::SetParityBit(TCommParityBits value) {
    Impl& d = *impl_;
    if (d.parity == value) return;
    d.parity = value;
    if (!d.isOpen()) return;
    d.dcb.parity = value;
    d.writeState(commx_text::kParity);
    d.configChanged();
}

TCommStopBits TCustomCommX::StopBit() const {
    return impl_->stopBits;
}

void TCustomCommX::SetStopBit(TCommStopBits value) {
    Impl& d = *impl_;
    if (d.stopBits == value) return;
    d.stopBits = value;
    if (!d.isOpen()) return;
    d.dcb.stopBits = value;
    d.writeState(commx_text::kStopBits);
    d.configChanged();
}

TCommFlowCtrls TCustomCommX::FlowCtrl() const {
    return impl_->flowCtrl;
}

void TCustomCommX::SetFlowCtrl(TCommFlowCtrls value) {
    Impl& d = *impl_;
    if (d.flowCtrl == value) return;
    d.flowCtrl = value;
    if (!d.isOpen()) return;
    d.applyFlowCtrl();
    d.configChanged();
}

int TCustomCommX::TimeOutTrans() const {
    return impl_->timeOutTrans;
}

void TCustomCommX::SetTimeOutTrans(int value) {
    Impl& d = *impl_;
    if (d.timeOutTrans == value) return;
    d.timeOutTrans = value;
    if (!d.isOpen()) return;
    d.applyTimeouts();
    d.configChanged();
}

int TCustomCommX::TimeOutReceive() const {
    return impl_->timeOutReceive;
}

void TCustomCommX::SetTimeOutReceive(int value) {
    Impl& d = *impl_;
    if (d.timeOutReceive == value) return;
    d.timeOutReceive = value;
    if (!d.isOpen()) return;
    d.applyTimeouts();
    d.configChanged();
}

int TCustomCommX::BufLenTrans() const {
    return impl_->bufLenTrans;
}

void TCustomCommX::SetBufLenTrans(int value) {
    Impl& d = *impl_;
    if (d.bufLenTrans == value) return;
    d.bufLenTrans = value;
    if (!d.isOpen()) return;
    d.applyBuffers();
    d.configChanged();
}

int TCustomCommX::BufLenReceive() const {
    return impl_->bufLenReceive;
}

void TCustomCommX::SetBufLenReceive(int value) {
    Impl& d = *impl_;
    if (d.bufLenReceive == value) return;
    d.bufLenReceive = value;
    if (!d.isOpen()) return;
    d.applyBuffers();
    d.applyFlowCtrl();  // the XON/XOFF limits follow the input buffer
    d.configChanged();
}

bool TCustomCommX::IsOpen() const {
    return impl_->isOpen();
}

CommCounters TCustomCommX::Counters() const {
    CommCounters c;
    c.open = impl_->isOpen();
    c.lost = c.open && impl_->session->device().lost();
    c.received = impl_->received;
    c.sent = impl_->sent;
    return c;
}

void TCustomCommX::setTrace(CommTrace* trace) {
    impl_->trace = trace;
}

}  // namespace qpane
