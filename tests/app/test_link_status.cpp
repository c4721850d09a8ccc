// The state of both links as the status line shows it: counts, silence, loss and return.
#include <gtest/gtest.h>

#include <fstream>

#include "window_harness.h"

namespace qpane::testing {
namespace {

constexpr const char* kTimingLine =
    "\x02"
    "C1101200:01:23.45\x03";

void setSilence(WindowHarness& h, int seconds) {
    std::ofstream(h.w().paths().settingsFolder() / "Qcontrol.ini", std::ios::binary | std::ios::app)
        << "[Ports]\r\nSilenceSeconds=" << seconds << "\r\n";
}

TEST(LinkStatus, OpenLinksCountBothWaysAndTheInputTimesTheLastQueuedLine) {
    WindowHarness h({{"Portno", "1"}, {"Pinout", "1"}, {"Portno2", "2"}, {"Disppt", "1"}});
    h.start();
    h.sql("update timedata set grp='1' where block='1' and bib between '001' and '020'");
    LinkStatus before = h.w().linkStatus(1);
    EXPECT_EQ(before.state, LinkState::Closed);
    EXPECT_EQ(before.sinceLastLine, -1);
    EXPECT_FALSE(before.alarm);
    EXPECT_EQ(before.device, h.w().paths().portDevice(1));

    h.apply();
    h.rx(1, kTimingLine);
    LinkStatus s = h.w().linkStatus(1);
    EXPECT_EQ(s.state, LinkState::Open);
    EXPECT_EQ(s.received, std::string(kTimingLine).size());
    EXPECT_EQ(s.sinceLastLine, 0);
    h.wait(2500);
    s = h.w().linkStatus(1);
    EXPECT_EQ(s.sinceLastLine, 2500);
    EXPECT_FALSE(s.alarm);  // no silence limit by default
    // What went to the board on its own port is what that link sent.
    const LinkStatus board = h.w().linkStatus(2);
    EXPECT_EQ(board.state, LinkState::Open);
    EXPECT_GT(board.sent, 0u);
    EXPECT_EQ(board.sent, h.hub().written(2).size());
    EXPECT_EQ(board.sinceLastLine, -1);

    // Bytes that make no line count as received but do not restart the clock.
    h.rx(1, "noise");
    s = h.w().linkStatus(1);
    EXPECT_EQ(s.received, std::string(kTimingLine).size() + 5);
    EXPECT_EQ(s.sinceLastLine, 2500);

    h.act([&] { h.w().CommX2.Close(); });
    EXPECT_EQ(h.w().linkStatus(2).state, LinkState::Closed);
}

TEST(LinkStatus, InputTurnsToAlarmWhenSilentBeyondTheOperatorsLimit) {
    WindowHarness h({{"Portno", "1"}});
    setSilence(h, 3);
    h.start();
    h.apply();
    EXPECT_FALSE(h.w().linkStatus(1).alarm);  // counted from the open
    h.wait(4000);
    EXPECT_TRUE(h.w().linkStatus(1).alarm);
    h.rx(1, kTimingLine);
    EXPECT_FALSE(h.w().linkStatus(1).alarm);
    h.wait(3000);
    EXPECT_FALSE(h.w().linkStatus(1).alarm);
    h.wait(1);
    EXPECT_TRUE(h.w().linkStatus(1).alarm);
}

TEST(LinkStatus, LostAdapterIsShownReturnsUnderItsNumberAndReopensOnlyWhenAsked) {
    WindowHarness h({{"Portno", "1"}});
    h.start();
    h.apply();
    h.rx(1, kTimingLine);
    h.hub().unplug(1);
    h.wait(10);
    LinkStatus s = h.w().linkStatus(1);
    EXPECT_EQ(s.state, LinkState::Lost);
    EXPECT_TRUE(s.alarm);

    h.hub().setFailing(1, false);  // plugged in again
    h.wait(5000);
    s = h.w().linkStatus(1);
    EXPECT_EQ(s.state, LinkState::Returned);
    EXPECT_TRUE(s.alarm);
    h.rx(1, kTimingLine);  // nothing reopens by itself: the bytes do not reach the window
    EXPECT_EQ(h.w().linkStatus(1).state, LinkState::Returned);

    h.act([&] { h.w().reopenLink(1); });
    s = h.w().linkStatus(1);
    EXPECT_EQ(s.state, LinkState::Open);
    EXPECT_FALSE(s.alarm);
    const uint64_t received = s.received;
    h.rx(1, kTimingLine);
    EXPECT_EQ(h.w().linkStatus(1).received, received + std::string(kTimingLine).size());

    // A reopening that fails is told as a failed open is.
    h.hub().unplug(1);
    h.act([&] { h.w().reopenLink(1); });
    EXPECT_EQ(h.w().linkStatus(1).state, LinkState::Closed);
    ASSERT_FALSE(h.boxes().messages.empty());
    EXPECT_EQ(h.boxes().messages.back(),
              "指定された第一ポートが有効ではありません。ポートを確認してください。");
}

TEST(LinkStatus, StatusLineTextsNameStateCountsAndWhatAClickDoes) {
    LinkStatus s;
    s.device = "/dev/serial/by-id/usb-FTDI-if00-port0";
    s.state = LinkState::Open;
    s.received = 1234;
    s.sent = 56;
    s.sinceLastLine = 7999;
    EXPECT_EQ(linkStatusSummary("入力", s), "入力 開 受1234 送56 7秒");
    EXPECT_EQ(linkStatusDetail("入力", s),
              "入力: /dev/serial/by-id/usb-FTDI-if00-port0 開、受信 1234 バイト、送信 56 バイト、"
              "最後の計時データから 7 秒");
    s.sinceLastLine = -1;
    s.state = LinkState::Returned;
    EXPECT_EQ(linkStatusSummary("出力", s), "出力 再接続可 受1234 送56");
    EXPECT_EQ(linkStatusDetail("出力", s),
              "出力: /dev/serial/by-id/usb-FTDI-if00-port0 再接続可、受信 1234 バイト、送信 56 "
              "バイト\nアダプターが戻りました。クリックすると開き直します。");
    s.state = LinkState::Lost;
    EXPECT_EQ(linkStatusSummary("入力", s), "入力 切断 受1234 送56");
    s.state = LinkState::Closed;
    EXPECT_EQ(linkStatusSummary("入力", s), "入力 閉 受1234 送56");
    s.openFailure =
        "[Ports] Port1=COM12: このデバイスを開けません（使用中か、使用する権限がありません）。";
    EXPECT_EQ(linkStatusSummary("入力", s), "入力 閉 受1234 送56 開けません");
    EXPECT_EQ(
        linkStatusDetail("入力", s),
        "入力: /dev/serial/by-id/usb-FTDI-if00-port0 閉、受信 1234 バイト、送信 56 バイト\n"
        "[Ports] Port1=COM12: このデバイスを開けません（使用中か、使用する権限がありません）。");
}

}  // namespace
}  // namespace qpane::testing
