#pragma once

#include <QDialog>

#include <array>
#include <vector>

#include "serial/port_map.h"
#include "serial/serial_device_list.h"

class QComboBox;
class QSpinBox;

namespace qpane {

// The operator's names for the port numbers: for each of Port 1 to Port 9 a device typed in
// or picked from those present now, and the input link's silence limit. Not one of the
// window's controls; what it holds goes to the core when the operator confirms.
class PortMapDialog : public QDialog {
    Q_OBJECT
  public:
    PortMapDialog(const PortMap& map, const std::vector<SerialDeviceInfo>& devices,
                  QWidget* parent = nullptr);

    // The map as the dialog shows it now.
    PortMap map() const;
    QComboBox* entry(int portNo) const { return entries_[static_cast<size_t>(portNo - 1)]; }
    QSpinBox* silence() const { return silence_; }

  private:
    std::array<QComboBox*, PortMap::kPorts> entries_{};
    QSpinBox* silence_ = nullptr;
};

}  // namespace qpane
