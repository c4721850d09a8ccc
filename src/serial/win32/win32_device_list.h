#pragma once

#include <windows.h>

#include <vector>

#include "serial/serial_device_list.h"

namespace qpane {

// The ports that a key of the form of HARDWARE\DEVICEMAP\SERIALCOMM lists: each string value
// is one port, its name the kernel's device (\Device\Serial0, \Device\VCP0 for a USB
// adapter), its data the COM name. Sorted by number (COM2 before COM10); values of other
// types are no ports; a key that cannot be opened lists nothing.
std::vector<SerialDeviceInfo> listSerialDevicesOfKey(HKEY root, const wchar_t* subkey);

}  // namespace qpane
