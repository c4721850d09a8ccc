#pragma once

#include <string>

#include "platform/controls.h"

namespace qpane {

class TQuery;

// A grid that shows the rows of a query.
class GridControl : public Control {
  public:
    GridControl(Controls& owner, std::string name, TQuery& query);
    TQuery& query() const { return query_; }

  private:
    TQuery& query_;
};

}  // namespace qpane
