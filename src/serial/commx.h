#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/scheduler.h"

namespace qpane {

class TCustomCommX;
class CommDevice;
class CommDeviceProvider;

enum TCommParityBits { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits { csb1, csb1p5, csb2 };
enum TCommFlowCtrls { cfcRtsCts, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

// Every failure of the serial component; the message is the component's Japanese text.
class ECommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Line errors as the component reports them (overrun, parity, framing).
inline constexpr uint32_t kCommErrOverrun = 0x02;
inline constexpr uint32_t kCommErrParity = 0x04;
inline constexpr uint32_t kCommErrFrame = 0x08;

// Modem-line and break events of OnSignal.
inline constexpr uint32_t kCommEvCts = 0x08;
inline constexpr uint32_t kCommEvDsr = 0x10;
inline constexpr uint32_t kCommEvRlsd = 0x20;
inline constexpr uint32_t kCommEvBreak = 0x40;
inline constexpr uint32_t kCommEvRing = 0x100;

using TCommTransEvent = std::function<void(TCustomCommX& sender, int transSize)>;
using TCommReceiveEvent = std::function<void(TCustomCommX& sender, int receiveSize)>;
using TCommSignalEvent = std::function<void(TCustomCommX& sender, uint32_t eventMask)>;
using TCommBreakEvent = std::function<void(TCustomCommX& sender)>;
using TCommErrEvent = std::function<void(TCustomCommX& sender, uint32_t errorState)>;

// Watches a port from outside: the replay transcript and the traffic journal. Called on the
// user-interface thread.
class CommTrace {
public:
    virtual ~CommTrace() = default;
    virtual void opened(const TCustomCommX& port) { (void)port; }        // when Open returns
    virtual void openFailed(const TCustomCommX& port) { (void)port; }    // the device did not open
    virtual void configChanged(const TCustomCommX& port) { (void)port; } // a setter on an open port
    virtual void closed(const TCustomCommX& port) { (void)port; }        // when Close returns
    // One call of Write or SendString that hands bytes to an open port, with all its bytes.
    virtual void transmitted(const TCustomCommX& port, std::string_view bytes) {
        (void)port, (void)bytes;
    }
    // Bytes that Read or ReadByte took from the port.
    virtual void received(const TCustomCommX& port, std::string_view bytes) {
        (void)port, (void)bytes;
    }
};

// The serial port component. All operations and events belong to the user-interface thread;
// an open port runs a transmit and a receive thread that only move bytes and hand their
// notifications to the scheduler.
class TCustomCommX {
public:
    TCustomCommX(Scheduler& scheduler, CommDeviceProvider& devices);
    virtual ~TCustomCommX();
    TCustomCommX(const TCustomCommX&) = delete;
    TCustomCommX& operator=(const TCustomCommX&) = delete;

    void Open();
    void Close();
    virtual bool Write(const void* buffer, int count);
    virtual int Read(void* buffer, int count);
    bool SendString(std::string_view text);
    int ReadByte();
    int InQueueCount();
    void PurgeTransmit();
    void PurgeReceive();
    void SetRts(bool on);
    void SetDtr(bool on);

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
