#pragma once

#include <QTableView>

#include <vector>

#include "gui/coalesced_refresh.h"
#include "gui/query_table_model.h"

namespace qpane {

class TQuery;

// A grid of the window bound to a query: it shows the query's rows and marks its current
// record, following the query once per turn of the event loop after it opened, closed or
// moved its cursor. The operator's choices come out as signals; the grid never moves the
// query's cursor itself.
class GridView : public QTableView {
    Q_OBJECT
  public:
    GridView(TQuery& query, std::vector<GridColumn> columns, QWidget* parent = nullptr);
    ~GridView() override;

    QueryTableModel& rows() { return model_; }
    void followNow() { refresh_.flush(); }

  signals:
    // The operator moved to another row (keys or mouse).
    void rowMoved(int row);
    // A cell of row was clicked.
    void rowClicked(int row);
    // Enter on row (-1 when the grid is empty).
    void enterPressed(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void follow();
    void applyWidths();

    TQuery& query_;
    QueryTableModel model_;
    CoalescedRefresh refresh_;
    bool following_ = false;
    int shownRow_ = -1;
};

}  // namespace qpane
