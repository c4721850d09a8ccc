#include <gtest/gtest.h>

#include <fstream>

#include "far_end.h"
#include "serial/comm_settings.h"
#include "serial/win32/win32_comm_device.h"
#include "serial/win32/win32_dcb.h"

namespace qpane {
namespace {

struct FlowCase {
    TCommFlowCtrls flow;
    BOOL cts, dsr, xon;
    DWORD dtr, rts;
};

TEST(Win32Dcb, EachFlowControlGivesTheDriversFlagWord) {
    const FlowCase cases[] = {
        {cfcRtsCts, TRUE, FALSE, FALSE, DTR_CONTROL_ENABLE, RTS_CONTROL_HANDSHAKE},
        {cfcDtrDsr, FALSE, TRUE, FALSE, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_ENABLE},
        {cfcXonXoff, FALSE, FALSE, TRUE, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE},
        {cfcHalfHigh, FALSE, FALSE, FALSE, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE},
        {cfcNone, FALSE, FALSE, FALSE, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.flow));
        CommDcb dcb;
        setFlowFlags(dcb, c.flow, 2048);
        DCB block{};
        // A block that had every flag on: nothing of it may survive.
        block.fOutxCtsFlow = block.fOutxDsrFlow = block.fOutX = block.fInX = TRUE;
        block.fErrorChar = block.fNull = block.fAbortOnError = TRUE;
        ASSERT_TRUE(win32DcbFromCommDcb(dcb, block));
        EXPECT_EQ(block.DCBlength, sizeof(DCB));
        EXPECT_TRUE(block.fBinary);
        EXPECT_TRUE(block.fParity);
        EXPECT_EQ(block.fOutxCtsFlow, static_cast<DWORD>(c.cts));
        EXPECT_EQ(block.fOutxDsrFlow, static_cast<DWORD>(c.dsr));
        EXPECT_EQ(block.fOutX, static_cast<DWORD>(c.xon));
        EXPECT_EQ(block.fInX, static_cast<DWORD>(c.xon));
        EXPECT_EQ(block.fDtrControl, c.dtr);
        EXPECT_EQ(block.fRtsControl, c.rts);
        EXPECT_FALSE(block.fErrorChar);
        EXPECT_FALSE(block.fNull);
        EXPECT_FALSE(block.fAbortOnError);
        EXPECT_EQ(block.XonLim, 512);
        EXPECT_EQ(block.XoffLim, 1536);
    }
}

TEST(Win32Dcb, LineSettingsAndCharactersGoInAndComeBack) {
    CommDcb dcb;
    dcb.baudRate = 2400;
    dcb.byteSize = 7;
    dcb.parity = cpbOdd;
    dcb.stopBits = csb1p5;
    dcb.xonChar = 0x11;
    dcb.xoffChar = 0x13;
    DCB block{};
    ASSERT_TRUE(win32DcbFromCommDcb(dcb, block));
    EXPECT_EQ(block.BaudRate, 2400u);
    EXPECT_EQ(block.ByteSize, 7);
    EXPECT_EQ(block.Parity, ODDPARITY);
    EXPECT_EQ(block.StopBits, ONE5STOPBITS);
    EXPECT_EQ(block.XonChar, 0x11);
    EXPECT_EQ(block.XoffChar, 0x13);

    dcb.parity = cpbEven;
    dcb.stopBits = csb2;
    ASSERT_TRUE(win32DcbFromCommDcb(dcb, block));
    EXPECT_EQ(block.Parity, EVENPARITY);
    EXPECT_EQ(block.StopBits, TWOSTOPBITS);

    CommDcb back;
    commDcbFromWin32Dcb(block, back);
    EXPECT_EQ(back.baudRate, 2400);
    EXPECT_EQ(back.byteSize, 7);
    EXPECT_EQ(back.parity, cpbEven);
    EXPECT_EQ(back.stopBits, csb2);
    EXPECT_EQ(back.rtsControl, dcb.rtsControl);
    EXPECT_EQ(back.outxCtsFlow, dcb.outxCtsFlow);
}

TEST(Win32Dcb, ValuesWithoutAWindowsFormLeaveTheBlockAlone) {
    DCB before{};
    before.BaudRate = 9600;
    before.ByteSize = 8;
    for (int size : {4, 9}) {
        CommDcb dcb;
        dcb.byteSize = size;
        DCB block = before;
        EXPECT_FALSE(win32DcbFromCommDcb(dcb, block)) << size;
        EXPECT_EQ(block.ByteSize, 8);
    }
    CommDcb dcb;
    dcb.baudRate = 0;
    DCB block = before;
    EXPECT_FALSE(win32DcbFromCommDcb(dcb, block));
    EXPECT_EQ(block.BaudRate, 9600u);
}

TEST(Win32Timeouts, ReadsReturnAtOnceAndWritesKeepTheirTotal) {
    const COMMTIMEOUTS t = win32Timeouts(makeTimeouts(3000, 500));
    // The component waits for bytes itself: a read takes what is there.
    EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 3000u);
}

TEST(Win32CommDevice, MissingPortDoesNotOpen) {
    EXPECT_EQ(Win32CommDevice::open("\\\\.\\COM99"), nullptr);
    // A file is no communications device.
    TempRoot root;
    const std::string file = (root.path() / "COM8").string();
    { std::ofstream(file) << "not a port"; }
    EXPECT_EQ(Win32CommDevice::open(file), nullptr);
}

// The device on a linked port: what it sets, the driver keeps.
class PtyPortDevice : public ::testing::Test {
  protected:
    TempRoot root;
    FarEnd peer{root.path(), 3};
    std::unique_ptr<Win32CommDevice> device = Win32CommDevice::open("\\\\.\\COM3");
};

TEST_F(PtyPortDevice, SettingsReadBackFromTheDriver) {
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->name(), "\\\\.\\COM3");
    CommDcb dcb;
    ASSERT_TRUE(device->getState(dcb));
    dcb.baudRate = 4800;
    dcb.stopBits = csb2;
    setFlowFlags(dcb, cfcXonXoff, 2048);
    ASSERT_TRUE(device->setState(dcb));
    CommDcb back;
    ASSERT_TRUE(device->getState(back));
    EXPECT_EQ(back.baudRate, 4800);
    EXPECT_EQ(back.stopBits, csb2);
    EXPECT_TRUE(back.outX);
    EXPECT_TRUE(back.inX);
    EXPECT_FALSE(back.outxCtsFlow);

    setFlowFlags(dcb, cfcRtsCts, 2048);
    dcb.baudRate = 19200;
    ASSERT_TRUE(device->setState(dcb));
    ASSERT_TRUE(device->getState(back));
    EXPECT_EQ(back.baudRate, 19200);
    EXPECT_TRUE(back.outxCtsFlow);
    EXPECT_FALSE(back.outX);
}

TEST_F(PtyPortDevice, SecondOpeningIsRefusedAndEveryCallFailsQuietlyAfterClose) {
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(Win32CommDevice::open("\\\\.\\COM3"), nullptr);
    ASSERT_TRUE(device->setTimeouts(makeTimeouts(3000, 3000)));
    EXPECT_EQ(device->write("ab", 2), 2);
    EXPECT_EQ(peer.receive(2), "ab");
    peer.send("xyz");
    for (int i = 0; i < 5000 && device->inQueueCount() < 3; ++i)
        ::Sleep(1);
    char buf[8];
    EXPECT_EQ(device->read(buf, 8), 3);
    EXPECT_EQ(std::string(buf, 3), "xyz");
    EXPECT_EQ(device->read(buf, 8), 0);  // nothing waiting: at once
    device->close();
    CommDcb dcb;
    uint32_t events = 0;
    EXPECT_FALSE(device->getState(dcb));
    EXPECT_EQ(device->read(buf, 8), -1);
    EXPECT_EQ(device->write("c", 1), -1);
    EXPECT_EQ(device->inQueueCount(), 0);
    EXPECT_FALSE(device->waitEvent(events));
    // Closed, the port opens again.
    EXPECT_NE(Win32CommDevice::open("\\\\.\\COM3"), nullptr);
}

}  // namespace
}  // namespace qpane
