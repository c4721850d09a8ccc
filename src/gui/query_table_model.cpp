#include "gui/query_table_model.h"

#include <algorithm>
#include <cctype>

#include "gui/memo_text.h"
#include "store/query.h"

namespace qpane {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

int columnOf(const TQuery& query, std::string_view field) {
    for (int c = 0; c < query.columnCount(); ++c)
        if (sameName(query.columnName(c), field)) return c;
    return -1;
}

// Numbers and codes are narrow, times wide.
int widthForField(std::string_view field) {
    for (const char* narrow : {"bib", "grp", "block", "lap", "uc", "sumi"})
        if (sameName(field, narrow)) return 44;
    return 84;
}

bool sameShape(const std::vector<GridColumn>& a, const std::vector<GridColumn>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const GridColumn& x, const GridColumn& y) {
                          return x.field == y.field && x.title == y.title;
                      });
}

const std::string kNoText;

}  // namespace

QueryTableModel::QueryTableModel(std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), shownColumns_(columns_) {}

bool QueryTableModel::take(const TQuery& query) {
    std::vector<GridColumn> columns = columns_;
    if (columns.empty()) {
        for (int c = 0; c < query.columnCount(); ++c) {
            const std::string& name = query.columnName(c);
            columns.push_back({name, QString::fromStdString(name), Qt::AlignLeft | Qt::AlignVCenter,
                               widthForField(name)});
        }
    }
    std::vector<int> sources;
    for (const GridColumn& column : columns)
        sources.push_back(columnOf(query, column.field));
    const int rows = query.rowCount();
    query_ = &query;
    live_ = true;
    currentRow_ = query.recNo();

    if (!sameShape(columns, shownColumns_) || rows != rows_) {
        beginResetModel();
        shownColumns_ = std::move(columns);
        sources_ = std::move(sources);
        rows_ = rows;
        shown_.clear();
        endResetModel();
        return true;
    }
    // The same fields may sit elsewhere in another statement's result.
    sources_ = std::move(sources);
    bool changed = false;
    for (auto& [row, cells] : shown_) {
        Cells now = readRow(row);
        if (now == cells) continue;
        cells = std::move(now);
        changed = true;
    }
    if (changed) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    return false;
}

QueryTableModel::Cells QueryTableModel::readRow(int row) const {
    Cells cells;
    cells.reserve(sources_.size());
    for (int source : sources_)
        cells.push_back(source < 0 ? std::string() : query_->cell(row, source));
    return cells;
}

const QueryTableModel::Cells* QueryTableModel::shownRow(int row) const {
    if (row < 0 || row >= rows_) return nullptr;
    if (const auto found = shown_.find(row); found != shown_.end()) return &found->second;
    if (!live_ || !query_) return nullptr;
    const Cells* cells = &shown_.emplace(row, readRow(row)).first->second;
    // The rows on the screen are those asked for last: the rows farthest from this one go.
    while (shown_.size() > kShownRows) {
        const int below = row - shown_.begin()->first;
        const int above = std::prev(shown_.end())->first - row;
        shown_.erase(below >= above ? shown_.begin() : std::prev(shown_.end()));
    }
    return cells;
}

const std::string& QueryTableModel::cell(int row, int c) const {
    if (c < 0 || c >= columnCount()) return kNoText;
    const Cells* cells = shownRow(row);
    return cells ? (*cells)[static_cast<size_t>(c)] : kNoText;
}

int QueryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int QueryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shownColumns_.size());
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return memoText(cell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole) return column(index.column()).alignment.toInt();
    return {};
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return column(section).title;
    if (role == Qt::TextAlignmentRole) return column(section).alignment.toInt();
    return {};
}

}  // namespace qpane
