// The serial devices present now, found in device folders that the test makes.
#include <gtest/gtest.h>

#include <fstream>

#include "pseudo_terminal.h"
#include "serial/serial_device_list.h"

namespace qpane {
namespace {

namespace fs = std::filesystem;

void makeFile(const fs::path& file) {
    std::ofstream(file) << "not a device";
}

TEST(SerialDeviceList, ByIdLinksUsbAndAcmDevicesAndTheOnBoardPortsThatAnswer) {
    TempRoot root;
    const fs::path dev = root.path() / "dev";
    const fs::path byId = dev / "serial" / "by-id";
    fs::create_directories(byId);
    for (const char* name : {"ttyUSB10", "ttyUSB0", "ttyUSB2", "ttyACM0", "ttyS1", "console"})
        makeFile(dev / name);
    fs::create_symlink("../../ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    fs::create_symlink("../../ttyUSB9", byId / "usb-Prolific_gone-if00-port0");  // unplugged
    // ttyS0 has a line behind it, ttyS1 is no terminal, ttyS10 opens but has no line settings.
    PseudoTerminal line(root.path(), 1);
    fs::rename(dev / "COM1", dev / "ttyS0");
    fs::create_symlink("/dev/null", dev / "ttyS10");

    const std::vector<SerialDeviceInfo> found = listSerialDevices({byId, dev});
    const std::vector<SerialDeviceInfo> expected = {
        {(byId / "usb-FTDI_FT232R_USB_UART_A1-if00-port0").string(),
         "-> " + (dev / "ttyUSB0").string()},
        {(dev / "ttyUSB0").string(), ""},
        {(dev / "ttyUSB2").string(), ""},
        {(dev / "ttyUSB10").string(), ""},
        {(dev / "ttyACM0").string(), ""},
        {(dev / "ttyS0").string(), ""},
    };
    EXPECT_EQ(found, expected);

    EXPECT_EQ(serialDeviceListText({found[0], found[1]}),
              (byId / "usb-FTDI_FT232R_USB_UART_A1-if00-port0").string() + "\t-> " +
                  (dev / "ttyUSB0").string() + "\n" + (dev / "ttyUSB0").string() + "\n");
}

TEST(SerialDeviceList, MissingFoldersListNothing) {
    TempRoot root;
    EXPECT_TRUE(listSerialDevices({root.path() / "no-by-id", root.path() / "no-dev"}).empty());
    EXPECT_EQ(serialDeviceListText({}), "");
}

}  // namespace
}  // namespace qpane
