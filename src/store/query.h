#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/result_rows.h"

namespace qpane {

class Database;
class TQuery;

// A statement that the table store refused, or a column that a result does not have.
class EDatabaseError : public std::runtime_error {
  public:
    // code: SQLite's result code, 0 for what the console refuses itself; engineText: SQLite's
    // message followed by the statement.
    explicit EDatabaseError(const std::string& text, int code = 0, std::string engineText = {})
        : std::runtime_error(text), code_(code & 0xFF), engineText_(std::move(engineText)) {}

    // SQLite's primary result code (SQLITE_FULL, ...); 0 for what the console refused.
    int code() const { return code_; }
    // The store's file or disk could not take the write (see store_problem.h); the statement
    // itself was sound and may succeed later.
    bool writeFailed() const;
    const std::string& engineText() const { return engineText_; }

  private:
    int code_;
    std::string engineText_;
};

// A value placed between single quotes in a statement: a quote inside it is doubled, so a
// stray quote from a timing line or an edit field cannot break or change the statement.
std::string sqlValue(std::string_view value);

// The statement of a query as a list of text lines. Changing it closes the query.
class QueryText {
  public:
    void Clear();
    void Add(std::string_view line);
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
    // The lines joined by line breaks, as the engine reads them.
    std::string Text() const;
    // The lines each followed by CR LF, as an edit field shows the statement.
    std::string TextCRLF() const;

  private:
    friend class TQuery;
    explicit QueryText(TQuery& owner) : owner_(owner) {}
    TQuery& owner_;
    std::vector<std::string> lines_;
};

// One column of the current record.
class TField {
  public:
    // The text of the value; "" when the column holds no value.
    std::string AsString() const;
    // The value as a whole number; 0 when it holds no value; EConvertError when its text is
    // not a whole number.
    int64_t AsInteger() const;
    bool IsNull() const { return !value_.has_value(); }

  private:
    friend class TQuery;
    std::optional<std::string> value_;
};

// A query object with its own cursor. Opening runs the statement; its rows are read as the
// cursor, a count, a search or a grid reaches them, and stay in memory once read (see
// result_rows.h for rows not yet read when the store changes).
class TQuery {
  public:
    // `name` is the component name (Qedit, Qtimedp, ...); `fixedText` the statement it holds
    // from creation, one line per element.
    TQuery(Database& db, std::string name, std::vector<std::string> fixedText = {});
    ~TQuery();
    TQuery(const TQuery&) = delete;
    TQuery& operator=(const TQuery&) = delete;

    const std::string& name() const { return name_; }
    Database& database() const { return db_; }

    QueryText& SQL() { return sql_; }
    const QueryText& SQL() const { return sql_; }

    // Runs a statement that returns rows. Opening an open query does nothing: it keeps its
    // rows and its cursor. An empty text is an error.
    void Open();
    // Runs a statement that returns no rows; an open result stays as it is. An empty text is
    // an error.
    void ExecSQL();
    // Forgets the rows; closing a closed query does nothing.
    void Close();
    bool Active() const { return active_; }
    // Opening reads at most this many rows (RecordCount counts those): for a query of which
    // only the first rows are ever read, however many the table holds.
    void setRowLimit(size_t rows) { rowLimit_ = rows; }

    // The column of the current record (names without regard to case). A column the result
    // does not have throws EDatabaseError; a result without records reads "" and 0.
    // FieldByName, First, Next, RecordCount and Locate on a closed query throw EDatabaseError.
    TField FieldByName(std::string_view name) const;
    void First();
    // On the last record: sets Eof and stays on that record.
    void Next();
    bool Eof() const;  // true for a closed query
    int RecordCount() const;
    // RecordCount() == 1, from the first two records alone: a ranking asks it at every line,
    // and counting a large group costs a read of every entry of its index.
    bool HasOnlyOneRecord() const;
    // Moves to the first record whose column equals value exactly (a column with no value
    // equals the empty text); false (cursor and Eof unchanged) when there is none.
    bool Locate(std::string_view column, std::string_view value);

    // Read-only view for a grid: it reads the rows it shows.
    int columnCount() const { return static_cast<int>(result_.columns().size()); }
    const std::string& columnName(int c) const { return result_.columns()[static_cast<size_t>(c)]; }
    int rowCount() const;
    // "" for a cell with no value (and for a cell outside the result).
    const std::string& cell(int row, int column) const;
    bool cellIsNull(int row, int column) const;
    int recNo() const { return cursor_; }  // -1 without records
    // Moves the cursor to a record of the result; a row outside it is ignored.
    void setRecNo(int row);

    // Called after the query opened, closed or moved its cursor (for a grid).
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

  private:
    friend class QueryText;
    void textChanged();
    void notify();
    int columnIndex(std::string_view name) const;
    void requireActive() const;
    // The cell of a record of the result, read when it was not yet; nullptr outside it.
    const std::optional<std::string>* cellOf(int row, int column) const;

    Database& db_;
    std::string name_;
    QueryText sql_{*this};
    bool active_ = false;
    size_t rowLimit_ = SIZE_MAX;
    bool eof_ = true;
    int cursor_ = -1;
    // Reading a row that a const reader asks for changes what is held, not what it reads.
    mutable ResultRows result_{db_};
    std::function<void()> observer_;
};

}  // namespace qpane
