#include "gui/grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "store/query.h"

namespace qpane {

GridView::GridView(TQuery& query, std::vector<GridColumn> columns, QWidget* parent)
    : QTableView(parent),
      query_(query),
      model_(std::move(columns)),
      refresh_(this, [this] { follow(); }) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(true);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                if (!following_ && now.isValid()) emit rowMoved(now.row());
            });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit rowClicked(index.row());
    });

    query_.setObserver([this] {
        model_.hold();
        refresh_.request();
    });
    follow();
}

GridView::~GridView() {
    query_.setObserver(nullptr);
}

void GridView::follow() {
    following_ = true;
    const int column = std::max(currentIndex().column(), 0);
    const bool reset = model_.take(query_);
    if (reset) applyWidths();
    const int row = model_.currentRow();
    if (row >= 0 && row < model_.rowCount()) {
        const QModelIndex index = model_.index(row, std::min(column, model_.columnCount() - 1));
        if (index != currentIndex())
            selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        // The operator may have scrolled away to read: only a new record brings it back.
        if (reset || row != shownRow_) scrollTo(index);
    } else {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
    }
    shownRow_ = row;
    following_ = false;
}

void GridView::applyWidths() {
    for (int c = 0; c < model_.columnCount(); ++c)
        setColumnWidth(c, model_.column(c).width);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed(currentIndex().isValid() ? currentIndex().row() : -1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace qpane
