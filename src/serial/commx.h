#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/scheduler.h"
#include "serial/comm_types.h"

namespace qpane {

class TCustomCommX;
class CommDevice;
class CommDeviceProvider;

using TCommTransEvent = std::function<void(TCustomCommX& sender, int transSize)>;
using TCommReceiveEvent = std::function<void(TCustomCommX& sender, int receiveSize)>;
using TCommSignalEvent = std::function<void(TCustomCommX& sender, uint32_t eventMask)>;
using TCommBreakEvent = std::function<void(TCustomCommX& sender)>;
using TCommErrEvent = std::function<void(TCustomCommX& sender, uint32_t errorState)>;

// Watches a port from outside: the replay transcript and the traffic journal. Called on the
// user-interface thread. It must outlive the component, or be unset before.
class CommTrace {
  public:
    virtual ~CommTrace() = default;
    // When Open returns.
    virtual void opened(const TCustomCommX& port) { (void)port; }
    // The device did not open, or a setting failed while opening (no time passes for the
    // first; the second closes the device again with the waits of Close).
    virtual void openFailed(const TCustomCommX& port) { (void)port; }
    // A setter changed a value of an open port and the change was applied.
    virtual void configChanged(const TCustomCommX& port) { (void)port; }
    // When Close (or the destruction) of an open port returns.
    virtual void closed(const TCustomCommX& port) { (void)port; }
    // One call of Write or SendString that hands bytes to an open port, with all its bytes.
    virtual void transmitted(const TCustomCommX& port, std::string_view bytes) {
        (void)port, (void)bytes;
    }
    // Bytes that Read or ReadByte took from the port.
    virtual void received(const TCustomCommX& port, std::string_view bytes) {
        (void)port, (void)bytes;
    }
};

// What a status line shows of a port.
struct CommCounters {
    bool open = false;
    bool lost = false;      // open, but its device went away
    uint64_t received = 0;  // bytes read, over every opening of the component
    uint64_t sent = 0;      // bytes handed to the transmitter
};

// The serial port component. All operations and events belong to the user-interface thread;
// an open port runs a transmit and a receive thread that only move bytes and hand their
// notifications to the scheduler (a device that runs without threads, the simulated one,
// completes writes at once and reports its events on the user-interface thread).
//
// With threads, the scheduler must run its tasks on a user-interface thread of its own
// (QtScheduler, or the tests' loop); the VirtualScheduler serves the simulated device.
class TCustomCommX {
  public:
    TCustomCommX(Scheduler& scheduler, CommDeviceProvider& devices);
    virtual ~TCustomCommX();  // closes the port if open
    TCustomCommX(const TCustomCommX&) = delete;
    TCustomCommX& operator=(const TCustomCommX&) = delete;

    // Raises ECommError: "ポートは、すでにオープンされています" when open (the opening stays
    // as it is), "ポートをオープンできませんでした" when the device does not open, or the text
    // of the setting that failed.
    void Open();
    // Closes the port if open; does nothing otherwise.
    void Close();
    // Queues count bytes for the transmit thread in chunks of BufLenTrans; true, or false when
    // the port is not open or its transmit side has ended. Holds back (letting pending
    // notifications run) while 32 chunks are pending.
    virtual bool Write(const void* buffer, int count);
    // Up to count bytes, waiting at most TimeOutReceive for them (letting pending
    // notifications run); -1 when the port is not open, its receive side has ended or the
    // buffer is missing.
    virtual int Read(void* buffer, int count);
    bool SendString(std::string_view text);
    // The byte 0 to 255, or -1 when not exactly one byte was read.
    int ReadByte();
    // Bytes waiting in the input queue (0 when closed).
    int InQueueCount();
    void PurgeTransmit();
    void PurgeReceive();
    void SetRts(bool on);
    void SetDtr(bool on);

    // Setters store the value; on an open port a change is applied at once, and a failure
    // raises ECommError with the setting's text (the value stays stored).
    int PortNo() const;
    void SetPortNo(int value);
    int BitRate() const;
    void SetBitRate(int value);
    int CharSize() const;
    void SetCharSize(int value);
    TCommParityBits ParityBit() const;
    void SetParityBit(TCommParityBits value);
    TCommStopBits StopBit() const;
    void SetStopBit(TCommStopBits value);
    TCommFlowCtrls FlowCtrl() const;
    void SetFlowCtrl(TCommFlowCtrls value);
    int TimeOutTrans() const;
    void SetTimeOutTrans(int value);
    int TimeOutReceive() const;
    void SetTimeOutReceive(int value);
    int BufLenTrans() const;
    void SetBufLenTrans(int value);
    int BufLenReceive() const;
    void SetBufLenReceive(int value);
    bool IsOpen() const;  // Handle is valid
    CommCounters Counters() const;

    TCommTransEvent OnTrans;
    TCommReceiveEvent OnReceive;
    TCommSignalEvent OnSignal;
    TCommBreakEvent OnBreak;
    TCommErrEvent OnError;

    void setTrace(CommTrace* trace);

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

class TCommX : public TCustomCommX {
  public:
    using TCustomCommX::TCustomCommX;
};

}  // namespace qpane
