#include "store/query.h"

#include "platform/byte_text.h"
#include "platform/convert.h"
#include "store/database.h"

namespace qpane {

namespace {

const std::string kNoValue;

bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

// --- QueryText ---

void QueryText::Clear() {
    lines_.clear();
    owner_.textChanged();
}

void QueryText::Add(std::string_view line) {
    lines_.emplace_back(line);
    owner_.textChanged();
}

std::string QueryText::Text() const {
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i) text += '\n';
        text += lines_[i];
    }
    return text;
}

std::string QueryText::TextCRLF() const {
    std::string text;
    for (const std::string& line : lines_)
        text += line + "\r\n";
    return text;
}

// --- TField ---

std::string TField::AsString() const {
    return value_.value_or(std::string());
}

int64_t TField::AsInteger() const {
    if (!value_ || value_->empty()) return 0;
    return StrToInt64(*value_);
}

// --- TQuery ---

TQuery::TQuery(Database& db, std::string name, std::vector<std::string> fixedText)
    : db_(db), name_(std::move(name)) {
    sql_.lines_ = std::move(fixedText);
}

TQuery::~TQuery() = default;

void TQuery::textChanged() {
    Close();
}

void TQuery::notify() {
    if (observer_) observer_();
}

void TQuery::requireActive() const {
    if (!active_) throw EDatabaseError(name_ + ": 閉じているクエリーでは操作できません。");
}

void TQuery::Open() {
    if (active_) return;
    const std::string text = sql_.Text();
    if (isBlank(text)) throw EDatabaseError(name_ + ": SQL 文が空です。");
    std::vector<std::string> columns;
    std::vector<Database::Row> rows;
    db_.select(text, columns, rows, rowLimit_);
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    active_ = true;
    cursor_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
    notify();
}

void TQuery::ExecSQL() {
    const std::string text = sql_.Text();
    if (isBlank(text)) throw EDatabaseError(name_ + ": SQL 文が空です。");
    db_.run(text);
}

void TQuery::Close() {
    if (!active_) return;
    active_ = false;
    columns_.clear();
    rows_.clear();
    cursor_ = -1;
    eof_ = true;
    notify();
}

int TQuery::columnIndex(std::string_view name) const {
    for (size_t c = 0; c < columns_.size(); ++c)
        if (equalsNoCase(columns_[c], name)) return static_cast<int>(c);
    return -1;
}

TField TQuery::FieldByName(std::string_view name) const {
    requireActive();
    int c = columnIndex(name);
    if (c < 0)
        throw EDatabaseError(name_ + ": フィールド '" + std::string(name) + "' が見つかりません。");
    TField field;
    if (cursor_ >= 0) field.value_ = rows_[static_cast<size_t>(cursor_)][static_cast<size_t>(c)];
    return field;
}

void TQuery::First() {
    requireActive();
    cursor_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
    notify();
}

void TQuery::Next() {
    requireActive();
    if (cursor_ + 1 < static_cast<int>(rows_.size())) {
        ++cursor_;
        eof_ = false;
    } else {
        eof_ = true;
    }
    notify();
}

bool TQuery::Eof() const {
    return !active_ || eof_;
}

int TQuery::RecordCount() const {
    requireActive();
    return static_cast<int>(rows_.size());
}

bool TQuery::Locate(std::string_view column, std::string_view value) {
    requireActive();
    int c = columnIndex(column);
    if (c < 0)
        throw EDatabaseError(name_ + ": フィールド '" + std::string(column) +
                             "' が見つかりません。");
    for (size_t r = 0; r < rows_.size(); ++r) {
        const std::optional<std::string>& cell = rows_[r][static_cast<size_t>(c)];
        if (cell.value_or(std::string()) == value) {
            cursor_ = static_cast<int>(r);
            eof_ = false;
            notify();
            return true;
        }
    }
    return false;
}

const std::string& TQuery::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return kNoValue;
    const std::optional<std::string>& v =
        rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
    return v ? *v : kNoValue;
}

bool TQuery::cellIsNull(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return true;
    return !rows_[static_cast<size_t>(row)][static_cast<size_t>(column)].has_value();
}

void TQuery::setRecNo(int row) {
    if (!active_ || row < 0 || row >= rowCount()) return;
    cursor_ = row;
    eof_ = false;
    notify();
}

}  // namespace qpane
