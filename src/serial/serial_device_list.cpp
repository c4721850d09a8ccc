#include "serial/serial_device_list.h"

namespace qpane {

std::string serialDeviceListText(const std::vector<SerialDeviceInfo>& devices) {
    std::string text;
    for (const SerialDeviceInfo& d : devices) {
        text += d.name;
        if (!d.description.empty()) text += "\t" + d.description;
        text += "\n";
    }
    return text;
}

}  // namespace qpane
