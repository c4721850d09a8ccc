#include <gtest/gtest.h>

#include "serial/comm_settings.h"

namespace qpane {
namespace {

struct FlowCase {
    TCommFlowCtrls flow;
    bool cts, dsr, xon;
    CommDtrControl dtr;
    CommRtsControl rts;
};

TEST(FlowFlags, EachFlowControlReplacesTheWholeFlagWord) {
    const FlowCase cases[] = {
        {cfcRtsCts, true, false, false, CommDtrControl::Enable, CommRtsControl::Handshake},
        {cfcDtrDsr, false, true, false, CommDtrControl::Handshake, CommRtsControl::Enable},
        {cfcXonXoff, false, false, true, CommDtrControl::Enable, CommRtsControl::Enable},
        {cfcHalfHigh, false, false, false, CommDtrControl::Enable, CommRtsControl::Disable},
        {cfcHalfLow, false, false, false, CommDtrControl::Enable, CommRtsControl::Enable},
        {cfcNone, false, false, false, CommDtrControl::Enable, CommRtsControl::Enable},
    };
    for (const FlowCase& c : cases) {
        CommDcb dcb;
        // Start from the opposite of everything, so that nothing of an earlier word survives.
        setFlowFlags(dcb, cfcXonXoff, 2048);
        dcb.outxCtsFlow = dcb.outxDsrFlow = true;
        dcb.binary = dcb.parityCheck = false;
        setFlowFlags(dcb, c.flow, 2048);
        SCOPED_TRACE(static_cast<int>(c.flow));
        EXPECT_TRUE(dcb.binary);
        EXPECT_TRUE(dcb.parityCheck);
        EXPECT_EQ(dcb.outxCtsFlow, c.cts);
        EXPECT_EQ(dcb.outxDsrFlow, c.dsr);
        EXPECT_EQ(dcb.outX, c.xon);
        EXPECT_EQ(dcb.inX, c.xon);
        EXPECT_EQ(dcb.dtrControl, c.dtr);
        EXPECT_EQ(dcb.rtsControl, c.rts);
    }
}

TEST(FlowFlags, XonXoffLimitsFollowTheInputBuffer) {
    CommDcb dcb;
    setFlowFlags(dcb, cfcNone, 1023);
    EXPECT_EQ(dcb.xonLim, 255);
    EXPECT_EQ(dcb.xoffLim, 765);
}

TEST(Timeouts, TotalsOnlyAndNegativeCountsAsNone) {
    CommTimeouts t = makeTimeouts(3000, 2000);
    EXPECT_EQ(t.readInterval, CommTimeouts::kNoReadInterval);
    EXPECT_EQ(t.readMultiplier, 0u);
    EXPECT_EQ(t.readConstant, 2000u);
    EXPECT_EQ(t.writeMultiplier, 0u);
    EXPECT_EQ(t.writeConstant, 3000u);
    t = makeTimeouts(-5, -1);
    EXPECT_EQ(t.readConstant, 0u);
    EXPECT_EQ(t.writeConstant, 0u);
}

}  // namespace
}  // namespace qpane
