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
    result_.open(text, rowLimit_);
    active_ = true;
    const bool empty = result_.row(0) == nullptr;
    cursor_ = empty ? -1 : 0;
    eof_ = empty;
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
    result_.close();
    cursor_ = -1;
    eof_ = true;
    notify();
}

int TQuery::columnIndex(std::string_view name) const {
    const std::vector<std::string>& columns = result_.columns();
    for (size_t c = 0; c < columns.size(); ++c)
        if (equalsNoCase(columns[c], name)) return static_cast<int>(c);
    return -1;
}

const std::optional<std::string>* TQuery::cellOf(int row, int column) const {
    if (!active_ || row < 0 || column < 0 || column >= columnCount()) return nullptr;
    const ResultRows::Row* r = result_.row(static_cast<size_t>(row));
    return r ? &(*r)[static_cast<size_t>(column)] : nullptr;
}

TField TQuery::FieldByName(std::string_view name) const {
    requireActive();
    int c = columnIndex(name);
    if (c < 0)
        throw EDatabaseError(name_ + ": フィールド '" + std::string(name) + "' が見つかりません。");
    TField field;
    if (cursor_ >= 0) field.value_ = *cellOf(cursor_, c);
    return field;
}

void TQuery::First() {
    requireActive();
    const bool empty = result_.row(0) == nullptr;
    cursor_ = empty ? -1 : 0;
    eof_ = empty;
    notify();
}

void TQuery::Next() {
    requireActive();
    if (result_.row(static_cast<size_t>(cursor_ + 1))) {
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
    return static_cast<int>(result_.count());
}

bool TQuery::HasOnlyOneRecord() const {
    requireActive();
    return result_.row(0) && !result_.row(1);
}

bool TQuery::Locate(std::string_view column, std::string_view value) {
    requireActive();
    int c = columnIndex(column);
    if (c < 0)
        throw EDatabaseError(name_ + ": フィールド '" + std::string(column) +
                             "' が見つかりません。");
    for (size_t r = 0; const ResultRows::Row* row = result_.row(r); ++r) {
        if ((*row)[static_cast<size_t>(c)].value_or(std::string()) == value) {
            cursor_ = static_cast<int>(r);
            eof_ = false;
            notify();
            return true;
        }
    }
    return false;
}

int TQuery::rowCount() const {
    return active_ ? static_cast<int>(result_.count()) : 0;
}

const std::string& TQuery::cell(int row, int column) const {
    const std::optional<std::string>* v = cellOf(row, column);
    return v && *v ? **v : kNoValue;
}

bool TQuery::cellIsNull(int row, int column) const {
    const std::optional<std::string>* v = cellOf(row, column);
    return !v || !v->has_value();
}

void TQuery::setRecNo(int row) {
    if (!active_ || row < 0 || !result_.row(static_cast<size_t>(row))) return;
    cursor_ = row;
    eof_ = false;
    notify();
}

}  // namespace qpane
