#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "serial/comm_types.h"
#include "serial/port_map.h"

namespace qpane {

enum class CommDtrControl { Disable, Enable, Handshake };
enum class CommRtsControl { Disable, Enable, Handshake };

// The device control block: the line settings and the flag word of a port, modelled on the
// Windows DCB so that a Win32 backend copies it field by field.
struct CommDcb {
    int baudRate = 9600;
    int byteSize = 8;
    TCommParityBits parity = cpbNone;
    TCommStopBits stopBits = csb1;
    // The flag word.
    bool binary = true;
    bool parityCheck = false;
    bool outxCtsFlow = false;  // output waits for CTS
    bool outxDsrFlow = false;  // output waits for DSR
    CommDtrControl dtrControl = CommDtrControl::Enable;
    CommRtsControl rtsControl = CommRtsControl::Enable;
    bool outX = false;  // XON/XOFF on output
    bool inX = false;   // XON/XOFF on input
    // Input queue levels that send XON and XOFF, and the characters.
    int xonLim = 0;
    int xoffLim = 0;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char errorChar = 0;
};

// Time-outs in milliseconds, as Windows counts them. A read interval of kNoReadInterval
// sets no limit between two bytes. A total that is 0 sets no limit.
struct CommTimeouts {
    static constexpr uint32_t kNoReadInterval = 0xFFFFFFFF;
    uint32_t readInterval = kNoReadInterval;
    uint32_t readMultiplier = 0;
    uint32_t readConstant = 0;
    uint32_t writeMultiplier = 0;
    uint32_t writeConstant = 0;
};

// Called by a device that runs without threads, on the user-interface thread, when one of
// the events of its mask happened.
using CommEventSink = std::function<void(uint32_t events)>;

// One open serial device: the operations that the component needs of the platform. Each maps
// onto one Windows communications call (named below), so that a Win32 backend is a thin
// layer; the POSIX backend provides them with termios.
//
// A device may be used by the user-interface thread, the transmit thread and the receive
// thread at once; every operation is safe to call concurrently with the others. After
// close() every operation fails quietly (false, -1, 0).
class CommDevice {
  public:
    virtual ~CommDevice() = default;

    // The name that opened it (COM3, /dev/ttyS2, ...).
    virtual std::string name() const = 0;

    // True when the component drives the device with its transmit and receive threads. A
    // device without them (the simulated one) completes writes at once and reports its
    // events through the sink, on the user-interface thread.
    virtual bool runsThreads() const { return true; }
    virtual void setEventSink(CommEventSink sink) { (void)sink; }

    // SetupComm: driver buffer sizes.
    virtual bool setBufferSizes(int inQueue, int outQueue) = 0;
    // GetCommState / SetCommState.
    virtual bool getState(CommDcb& dcb) = 0;
    virtual bool setState(const CommDcb& dcb) = 0;
    // SetCommTimeouts.
    virtual bool setTimeouts(const CommTimeouts& timeouts) = 0;
    // SetCommMask.
    virtual bool setEventMask(uint32_t mask) = 0;
    // WaitCommEvent, waiting without limit: true with the events of the mask that happened;
    // false when cancelWait() was called, the device was closed or it went away.
    virtual bool waitEvent(uint32_t& events) = 0;
    // Makes a waitEvent() that runs now, or the next one, return false.
    virtual void cancelWait() = 0;
    // ClearCommError: the line errors since the last call, cleared.
    virtual uint32_t takeLineErrors() = 0;
    // ClearCommError's input queue length.
    virtual int inQueueCount() = 0;
    // ReadFile with "return at once" time-outs: up to count bytes that are waiting, 0 when
    // none is, -1 when the device failed or is closed. The component does the waiting.
    virtual int read(void* buffer, int count) = 0;
    // WriteFile, waited for: the bytes written, which are fewer than count when the write
    // time-out passed or purgeOutput() aborted it; -1 when the device failed.
    virtual int write(const void* buffer, int count) = 0;
    // PurgeComm with abort and clear, of output or input.
    virtual void purgeOutput() = 0;
    virtual void purgeInput() = 0;
    // EscapeCommFunction SETRTS/CLRRTS, SETDTR/CLRDTR. Skipped where the device has no such
    // line.
    virtual void setRts(bool on) = 0;
    virtual void setDtr(bool on) = 0;
    // True once the device has gone away (unplugged adapter, closed far end).
    virtual bool lost() const = 0;
    // CloseHandle. The object may live on until the threads let go of it.
    virtual void close() = 0;
};

// Makes the device for a port number: CreateFile("COM" + n) on Windows, the device of
// Paths::portDevice(n) on POSIX, a simulated device in replay.
class CommDeviceProvider {
  public:
    virtual ~CommDeviceProvider() = default;
    // The opened device, or nullptr when it does not exist, is in use or fails to open.
    virtual std::unique_ptr<CommDevice> open(int portNo) = 0;
    // The operator's names for the port numbers, used by the opens from now on; the simulated
    // devices keep their numbers.
    virtual void usePortMap(const PortMap& map) { (void)map; }
    // Whether the device of port n is there now (an adapter that went away and came back
    // under the same name); it may still be in use or fail to open.
    virtual bool present(int portNo) {
        (void)portNo;
        return true;
    }
};

}  // namespace qpane
