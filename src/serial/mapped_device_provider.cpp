#include "serial/mapped_device_provider.h"

namespace qpane {

void MappedDeviceProvider::usePortMap(const PortMap& map) {
    std::lock_guard lock(mapMutex_);
    map_ = map;
}

std::string MappedDeviceProvider::devicePath(int portNo) {
    std::lock_guard lock(mapMutex_);
    return map_.devicePath(portNo, paths_);
}

}  // namespace qpane
