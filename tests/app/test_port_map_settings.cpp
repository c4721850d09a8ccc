// The port map of the settings file at start-up, at the apply button and at shut-down.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/settings_file.h"
#include "window_harness.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNotValid =
    "指定された第一ポートが有効ではありません。ポートを確認してください。";

fs::path settingsFile(WindowHarness& h) {
    return h.w().paths().settingsFolder() / "Qcontrol.ini";
}

void addPorts(WindowHarness& h, const std::string& lines) {
    std::ofstream(settingsFile(h), std::ios::binary | std::ios::app) << "[Ports]\r\n" << lines;
}

TEST(PortMapSettings, StartUpReadsTheMapAndShutDownWritesItBackWithTheBoardKeys) {
    WindowHarness h({{"Portno", "2"}, {"Disppt", "3"}});
    addPorts(h, "Port2=/dev/serial/by-id/usb-FTDI-if00-port0\r\nSilenceSeconds=20\r\n");
    h.start();
    EXPECT_EQ(h.w().portMap().entry(2), "/dev/serial/by-id/usb-FTDI-if00-port0");
    EXPECT_EQ(h.w().portMap().silenceSeconds, 20);

    PortMap changed = h.w().portMap();
    changed.setEntry(5, "COM12");
    h.w().setPortMap(changed);
    h.act([&] { h.w().FormClose(); });

    SettingsFile ini(settingsFile(h));
    EXPECT_EQ(ini.readString("Boad", "Portno", "?"), "2");
    EXPECT_EQ(ini.readString("Boad", "Disppt", "?"), "3");
    EXPECT_EQ(ini.readString("Ports", "Port2", "?"), "/dev/serial/by-id/usb-FTDI-if00-port0");
    EXPECT_EQ(ini.readString("Ports", "Port5", "?"), "COM12");
    EXPECT_EQ(ini.readString("Ports", "SilenceSeconds", "?"), "20");
}

TEST(PortMapSettings, MappedPortThatDoesNotOpenNamesTheEntryAndItsDeviceOnTheStatusLine) {
    constexpr const char* kMissing =
        "[Ports] Port1=/no/such/adapter: "
        "このデバイスはありません（アダプターが接続されているか確認してください）。";
    WindowHarness h({{"Portno", "1"}});
    addPorts(h, "Port1=/no/such/adapter\r\n");
    h.start();
    h.hub().setFailing(1, true);
    h.apply();
    // The box says what the console has always said; the status line says why.
    EXPECT_EQ(h.boxes().messages, std::vector<std::string>{kNotValid});
    EXPECT_FALSE(h.w().CommX1.IsOpen());
    EXPECT_EQ(h.w().RGport.ItemIndex(), 0);
    const LinkStatus failed = h.w().linkStatus(1);
    EXPECT_EQ(failed.openFailure, kMissing);
    EXPECT_EQ(linkStatusSummary("入力", failed), "入力 閉 受0 送0 開けません");
    EXPECT_NE(linkStatusDetail("入力", failed).find(kMissing), std::string::npos);

    // The adapter is plugged in: the next open works and the reason is gone.
    h.hub().setFailing(1, false);
    h.act([&] { h.w().RGport.SetItemIndex(1); });
    h.apply();
    EXPECT_TRUE(h.w().CommX1.IsOpen());
    EXPECT_EQ(h.w().linkStatus(1).openFailure, "");
    EXPECT_EQ(h.boxes().messages.size(), 1u);

    // Without an entry there is no reason to add.
    WindowHarness plain({{"Portno", "1"}});
    plain.start();
    plain.hub().setFailing(1, true);
    plain.apply();
    EXPECT_EQ(plain.boxes().messages, std::vector<std::string>{kNotValid});
    EXPECT_EQ(plain.w().linkStatus(1).openFailure, "");
}

}  // namespace
}  // namespace qpane::testing
