#pragma once

#include <QAbstractTableModel>

#include <map>
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

// What a grid shows of a query. The model reads from the query only the rows that the view
// asks for, and keeps the rows it has shown near the last one asked (kShownRows of them), so
// that following a result of thousands of rows costs the rows on the screen. Between a change
// of the query (hold) and the next take the view is served what was shown, so that it never
// reads rows that the core has replaced since; a row not shown before reads empty until then.
// With no columns given, the grid shows every column of the result under its own name.
class QueryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr size_t kShownRows = 256;

    explicit QueryTableModel(std::vector<GridColumn> columns, QObject* parent = nullptr);

    // Follows query, which must outlive the model or be taken again before it goes. Of the
    // same shape (columns and number of rows) the rows shown are read again and changed in
    // place, so the view keeps its scroll position; another shape resets the model. True
    // when the model was reset.
    bool take(const TQuery& query);
    // The query changed: nothing is read from it until it is taken again.
    void hold() { live_ = false; }
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
    using Cells = std::vector<std::string>;
    Cells readRow(int row) const;
    const Cells* shownRow(int row) const;

    std::vector<GridColumn> columns_;  // as given; empty = all of the result
    std::vector<GridColumn> shownColumns_;
    std::vector<int> sources_;  // the result's column of each shown column; -1: none
    const TQuery* query_ = nullptr;
    bool live_ = false;
    int rows_ = 0;
    int currentRow_ = -1;
    // Reading a row that the view asks for changes what is kept, not what it shows.
    mutable std::map<int, Cells> shown_;
};

}  // namespace qpane
