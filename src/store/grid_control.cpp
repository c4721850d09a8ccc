#include "store/grid_control.h"

namespace qpane {

GridControl::GridControl(Controls& owner, std::string name, TQuery& query)
    : Control(owner, std::move(name), ControlKind::Grid), query_(query) {}

}  // namespace qpane
