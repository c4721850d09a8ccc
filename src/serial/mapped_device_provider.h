#pragma once

#include <mutex>
#include <string>
#include <utility>

#include "platform/paths.h"
#include "serial/comm_device.h"
#include "serial/port_map.h"

namespace qpane {

// The system's devices, found for a port number through the operator's port map. The map may
// change on the window's thread while a port opens on another, so it is read under a lock.
class MappedDeviceProvider : public CommDeviceProvider {
  public:
    explicit MappedDeviceProvider(Paths paths) : paths_(std::move(paths)) {}
    void usePortMap(const PortMap& map) final;

  protected:
    // The device that port n opens now.
    std::string devicePath(int portNo);

  private:
    Paths paths_;
    std::mutex mapMutex_;
    PortMap map_;
};

}  // namespace qpane
