#pragma once

#include <memory>

#include "platform/paths.h"
#include "serial/comm_device.h"

namespace qpane {

// The serial ports of the system the console runs on: \\.\COMn through the Win32
// communications calls on Windows, the termios device of Paths::portDevice(n) elsewhere.
std::unique_ptr<CommDeviceProvider> makeSystemCommDevices(const Paths& paths);

}  // namespace qpane
