#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "store/database.h"

namespace qpane {

// The rows of a select, read from the engine as they are asked for: a reader of the first
// rows of a large result (the ten best of a ranking, the rows a grid shows, the first pass
// row still to show) pays for those rows only.
//
// The rows read stay in memory as they were read. The statement is let go of before anything
// but a read runs on the connection (Database::Reader); it first reads up to kReadOnLetGo more
// rows, so that a result of a few rows is kept whole, as it was when it opened. Rows past
// those are read later from the store as it is then, by running the statement again and
// passing over the rows already held.
class ResultRows : public Database::Reader {
  public:
    using Row = Database::Row;
    static constexpr size_t kReadOnLetGo = 16;

    explicit ResultRows(Database& db) : db_(db) {}
    ~ResultRows();
    ResultRows(const ResultRows&) = delete;
    ResultRows& operator=(const ResultRows&) = delete;

    // Runs the statement and reads its first row; at most `limit` rows are ever read.
    // Throws EDatabaseError (and stays closed).
    void open(const std::string& sql, size_t limit);
    void close();

    const std::vector<std::string>& columns() const { return columns_; }
    // Row r of the result, read when it was not yet; nullptr when the result has fewer rows.
    // References stay valid until close. Throws EDatabaseError when the engine fails.
    const Row* row(size_t r);
    // How many rows the result has (at most the limit), counted by the engine without reading
    // them where the statement allows it.
    size_t count();

    void letGo() override;

  private:
    bool readRow();  // false at the end of the result
    void takeStatement();
    void finish();   // the end is reached: the statement goes back
    void release();  // the statement goes back; the result is not at its end

    Database& db_;
    std::string text_;
    size_t limit_ = 0;
    Database::Statement stmt_;
    bool reading_ = false;  // stmt_ is in the middle of its rows (registered as a reader)
    bool complete_ = true;  // every row of the result is in rows_
    std::vector<std::string> columns_;
    std::deque<Row> rows_;
    std::optional<size_t> count_;  // counted while the statement was held
};

}  // namespace qpane
