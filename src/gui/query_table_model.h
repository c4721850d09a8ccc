#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace qpane {

class TQuery;

// A column of a grid: the field it shows (found without regard to case), its title and how
// its cells are aligned.
struct GridColumn {
    std::string field;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int width = 64;
};

// What a grid shows of a query: a read-only copy of its rows, taken when the grid follows the
// query, so that the view never reads rows that the core has replaced since. With no columns
// given, the grid shows every column of the result under its own name.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit QueryTableModel(std::vector<GridColumn> columns, QObject* parent = nullptr);

    // Takes the rows of query. Rows of the same shape are changed in place, so the view keeps
    // its scroll position; another shape resets the model. True when the model was reset.
    bool take(const TQuery& query);
    // The record that the query's cursor was on when taken; -1 without records.
    int currentRow() const { return currentRow_; }
    // The width and alignment of column c.
    const GridColumn& column(int c) const { return shownColumns_[static_cast<size_t>(c)]; }
    // The bytes of a cell.
    const std::string& cell(int row, int c) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<GridColumn> columns_;  // as given; empty = all of the result
    std::vector<GridColumn> shownColumns_;
    std::vector<std::vector<std::string>> rows_;
    int currentRow_ = -1;
};

}  // namespace qpane
