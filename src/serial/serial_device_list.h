#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qpane {

// A serial device present now, as the port map and the operator name it.
struct SerialDeviceInfo {
    std::string name;         // /dev/serial/by-id/..., /dev/ttyUSB0, COM12
    std::string description;  // where a by-id link leads, the system's device name; may be empty
    bool operator==(const SerialDeviceInfo&) const = default;
};

// The serial devices of this system: on Windows the system's list of COM ports
// (HARDWARE\DEVICEMAP\SERIALCOMM), each with its device name; elsewhere those of
// listSerialDevices(SerialDeviceFolders{}).
std::vector<SerialDeviceInfo> listSerialDevices();

#ifndef _WIN32
// The folders that a POSIX system keeps its serial devices in.
struct SerialDeviceFolders {
    std::filesystem::path byId = "/dev/serial/by-id";
    std::filesystem::path dev = "/dev";
};

// The links of byId (the names that survive re-plugging), each with the device it leads to;
// then ttyUSB* and ttyACM* of dev, and the ttyS* of dev that answer (they open and take a
// termios call: most of the 32 a kernel makes have no UART behind them). Numbers sort as
// numbers (ttyS2 before ttyS10). Folders that are missing list nothing.
std::vector<SerialDeviceInfo> listSerialDevices(const SerialDeviceFolders& folders);
#endif

// One device a line: its name, and a tab and its description where there is one.
std::string serialDeviceListText(const std::vector<SerialDeviceInfo>& devices);

}  // namespace qpane
