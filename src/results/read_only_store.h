#pragma once

#include <filesystem>

struct sqlite3;

namespace qpane::results {

// The console's store opened for reading only, while the console may be writing it: with the
// write-ahead log a reader sees the last committed state and never holds the writer up. Never
// creates the store or its folder.
class ReadOnlyStore {
  public:
    // Throws std::runtime_error naming the file when there is no store in dataFolder or it
    // cannot be opened or is not the console's store.
    explicit ReadOnlyStore(const std::filesystem::path& dataFolder);
    ~ReadOnlyStore();
    ReadOnlyStore(const ReadOnlyStore&) = delete;
    ReadOnlyStore& operator=(const ReadOnlyStore&) = delete;

    sqlite3* handle() const { return db_; }
    const std::filesystem::path& file() const { return file_; }

  private:
    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
};

}  // namespace qpane::results
