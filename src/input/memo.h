#pragma once

#include <string>

#include "input/line_list.h"
#include "platform/controls.h"

namespace qpane {

// A memo of the window: a control whose text the routines read and write as lines.
class Memo : public Control, public LineList {
  public:
    Memo(Controls& owner, std::string name) : Control(owner, std::move(name), ControlKind::Memo) {}
};

}  // namespace qpane
