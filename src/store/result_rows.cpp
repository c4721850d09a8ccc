#include "store/result_rows.h"

#include <sqlite3.h>

#include <algorithm>

#include "store/query.h"
#include "store/sqlite_calls.h"
#include "store/statement_bytes.h"

namespace qpane {

ResultRows::~ResultRows() {
    release();
}

void ResultRows::open(const std::string& sql, size_t limit) {
    close();
    stmt_ = db_.prepareRows(sql);
    text_ = sql;
    limit_ = limit;
    complete_ = false;
    try {
        if (!sqlite3_stmt_readonly(stmt_.get())) {
            // A statement that writes is committed when it ends: it is read to its end now.
            db_.letReadersGo();
            while (readRow()) {
            }
        } else {
            readRow();
        }
    } catch (...) {
        close();
        throw;
    }
}

void ResultRows::close() {
    release();
    text_.clear();
    columns_.clear();
    rows_.clear();
    complete_ = true;
    count_.reset();
}

void ResultRows::release() {
    if (reading_) {
        db_.removeReader(this);
        reading_ = false;
    }
    stmt_.release();
}

void ResultRows::finish() {
    complete_ = true;
    count_.reset();
    release();
}

// Runs the statement again for the rows past those held: the store may have changed since
// they were read, and the rows held stay as they are.
void ResultRows::takeStatement() {
    stmt_ = db_.prepareRows(text_);
    for (size_t passed = 0; passed < rows_.size(); ++passed) {
        const int rc = sqlite3_step(stmt_.get());
        if (rc == SQLITE_ROW) continue;
        if (rc == SQLITE_DONE) {
            finish();
            return;
        }
        try {
            throwDatabaseError(db_.handle(), withNulBytesSpelled(text_));
        } catch (...) {
            release();
            throw;
        }
    }
}

bool ResultRows::readRow() {
    if (complete_) return false;
    if (rows_.size() >= limit_) {
        finish();
        return false;
    }
    if (!stmt_) {
        takeStatement();
        if (complete_) return false;
    }
    const int rc = sqlite3_step(stmt_.get());
    if (columns_.empty() && (rc == SQLITE_ROW || rc == SQLITE_DONE)) {
        // Named after the first step, which compiles a kept statement anew when the schema
        // changed since (a column added by another client of the file).
        const int n = sqlite3_column_count(stmt_.get());
        for (int c = 0; c < n; ++c) {
            const char* name = sqlite3_column_name(stmt_.get(), c);
            columns_.push_back(name ? name : "");
        }
    }
    if (rc == SQLITE_DONE) {
        finish();
        return false;
    }
    if (rc != SQLITE_ROW) {
        try {
            throwDatabaseError(db_.handle(), withNulBytesSpelled(text_));
        } catch (...) {
            release();
            throw;
        }
    }
    if (!reading_) {
        db_.addReader(this);
        reading_ = true;
    }
    // Every row has the columns of the first, also when a statement run again has others.
    Row& row = rows_.emplace_back(columns_.size());
    const int n = std::min(static_cast<int>(columns_.size()), sqlite3_column_count(stmt_.get()));
    for (int c = 0; c < n; ++c)
        row[static_cast<size_t>(c)] = columnValue(stmt_.get(), c);
    if (rows_.size() >= limit_) finish();
    return true;
}

const ResultRows::Row* ResultRows::row(size_t r) {
    while (rows_.size() <= r && readRow()) {
    }
    return r < rows_.size() ? &rows_[r] : nullptr;
}

size_t ResultRows::count() {
    if (complete_) return rows_.size();
    if (count_) return *count_;
    // The engine counts the rows of the same statement, without making them; within the
    // reading of the held statement it sees the same rows.
    Database::Statement counting = db_.prepareOwn(
        "SELECT count(*) FROM (" + withoutFinalOrder(withNulBytesSpelled(text_)) + "\n)");
    if (counting && sqlite3_step(counting.get()) == SQLITE_ROW) {
        const auto counted = static_cast<size_t>(
            std::max<sqlite3_int64>(0, sqlite3_column_int64(counting.get(), 0)));
        const size_t n = std::max(std::min(counted, limit_), rows_.size());
        if (reading_) count_ = n;
        return n;
    }
    // A statement that cannot be counted so (a pragma, a text ending in ';'): read to its end.
    while (readRow()) {
    }
    return rows_.size();
}

void ResultRows::letGo() {
    if (!reading_) return;
    try {
        for (size_t k = 0; k < kReadOnLetGo && readRow(); ++k) {
        }
    } catch (const EDatabaseError&) {
        // the rows past those held are read again when they are asked for
    }
    if (complete_) return;
    count_.reset();
    release();
}

}  // namespace qpane
