// The operator's device names for the port numbers, in the settings file and when a port opens.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "far_end.h"
#include "serial/port_map.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(PortMap, EntriesAreReadKeptAndWrittenBackWithEveryOtherLineAsItWas) {
    TempRoot root;
    const fs::path file = root.path() / "Qcontrol.ini";
    writeFile(file,
              "[Boad]\r\nPortno=1\r\nPortno2=3\r\n; the hall's adapters\r\n"
              "[Ports]\r\nPort1 = /dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0 \r\n"
              "Port3=COM12\r\nPort10=/dev/ttyUSB7\r\nPort2=\r\nSilenceSeconds=30\r\n"
              "[Other]\r\nKey=kept\r\n");
    SettingsFile ini(file);
    PortMap map = PortMap::read(ini);
    EXPECT_EQ(map.entry(1), "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
    EXPECT_EQ(map.entry(2), "");
    EXPECT_EQ(map.entry(3), "COM12");
    EXPECT_EQ(map.entry(10), "");  // only Port1..Port9 are ports
    EXPECT_EQ(map.entry(0), "");
    EXPECT_EQ(map.silenceSeconds, 30);
    EXPECT_NE(map, PortMap{});

    // Unchanged, the file is written back byte for byte, apart from the blanks of a value.
    map.write(ini);
    ini.save();
    EXPECT_EQ(readAll(file),
              "[Boad]\r\nPortno=1\r\nPortno2=3\r\n; the hall's adapters\r\n"
              "[Ports]\r\nPort1=/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0\r\n"
              "Port3=COM12\r\nPort10=/dev/ttyUSB7\r\nPort2=\r\nSilenceSeconds=30\r\n"
              "[Other]\r\nKey=kept\r\n");

    // A removed entry stays as a blank key; a new one joins the section.
    map.setEntry(3, "");
    map.setEntry(9, "  /dev/ttyACM0\t");
    map.silenceSeconds = 0;
    map.write(ini);
    ini.save();
    SettingsFile again(file);
    EXPECT_EQ(again.readString("Boad", "Portno2", "?"), "3");
    EXPECT_EQ(again.readString("Other", "Key", "?"), "kept");
    EXPECT_EQ(again.readString("Ports", "Port3", "?"), "");
    EXPECT_EQ(again.readString("Ports", "Port9", "?"), "/dev/ttyACM0");
    EXPECT_EQ(again.readString("Ports", "SilenceSeconds", "?"), "0");
    EXPECT_EQ(PortMap::read(again), map);
}

TEST(PortMap, FileWithoutEntriesGetsNoSectionAndNonsenseReadsAsNone) {
    TempRoot root;
    const fs::path file = root.path() / "Qcontrol.ini";
    const std::string before = "[Boad]\r\nPortno=2\r\n";
    writeFile(file, before);
    SettingsFile ini(file);
    const PortMap map = PortMap::read(ini);
    EXPECT_EQ(map, PortMap{});
    EXPECT_EQ(map.silenceSeconds, 0);
    map.write(ini);
    EXPECT_EQ(ini.content(), before);

    writeFile(file, "[Ports]\r\nSilenceSeconds=-5\r\n");
    EXPECT_EQ(PortMap::read(SettingsFile(file)).silenceSeconds, 0);
    writeFile(file, "[Ports]\r\nSilenceSeconds=ten\r\n");
    EXPECT_EQ(PortMap::read(SettingsFile(file)).silenceSeconds, 0);
}

TEST(PortMap, MappedNumberOpensTheNamedDeviceAndOthersKeepTheirOwn) {
    TempRoot root;
    const Paths paths(root.path());
    PortMap map;
    map.setEntry(2, "COM12");
    map.setEntry(4, "/dev/serial/by-id/usb-Prolific-if00-port0");
    EXPECT_EQ(map.devicePath(1, paths), paths.portDevice(1));
    EXPECT_EQ(map.devicePath(9, paths), paths.portDevice(9));
    EXPECT_EQ(map.openFailureText(1, false), "");
#ifdef _WIN32
    EXPECT_EQ(map.devicePath(2, paths), "\\\\.\\COM12");
    map.setEntry(2, "\\\\.\\COM14");
    EXPECT_EQ(map.devicePath(2, paths), "\\\\.\\COM14");
#else
    EXPECT_EQ(map.devicePath(4, paths), "/dev/serial/by-id/usb-Prolific-if00-port0");
#endif
    // A device that is missing is told apart from one that is there but did not open.
    EXPECT_EQ(map.openFailureText(4, false),
              "[Ports] Port4=/dev/serial/by-id/usb-Prolific-if00-port0: "
              "このデバイスはありません（アダプターが接続されているか確認してください）。");
    EXPECT_EQ(map.openFailureText(4, true),
              "[Ports] Port4=/dev/serial/by-id/usb-Prolific-if00-port0: "
              "このデバイスを開けません（使用中か、使用する権限がありません）。");
}

}  // namespace
}  // namespace qpane
