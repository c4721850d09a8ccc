#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace qpane {

// The connection Db1: one SQLite file in the data folder, reached through the alias
// "QPANEData". An update has reached the disk when the statement returns (write-ahead log,
// synchronous FULL), so it survives the process being killed and a power loss, and a crash
// never leaves the file damaged.
class Database {
  public:
    // Opens the store in dataFolder, creating the folder and the installation database
    // (timedata with bibs 001 to 999 of group "0", an empty crosst) when there is none.
    // Throws EDatabaseError, naming the file, when the store cannot be opened: the folder
    // cannot be made, the file is not a database, it is another program's database (no
    // timedata or crosst with the console's columns: nothing is written to it), it cannot be
    // written (read-only, a full disk: found by a write that is undone), ...
    // vfs names the SQLite VFS that reaches the file; empty: the default one (tests give one
    // whose disk fails on request).
    explicit Database(const std::filesystem::path& dataFolder, const std::string& vfs = {});
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static constexpr const char* kAlias = "QPANEData";
    static std::filesystem::path fileIn(const std::filesystem::path& dataFolder);
    const std::filesystem::path& file() const { return file_; }

    // How long a statement waits for a store file that another process holds busy.
    static constexpr int kBusyTimeoutMs = 2000;

    // Runs one statement; the rows of a select go to rows (and their column names to
    // columns), with std::nullopt for no value. A statement that creates or alters a table
    // runs together with the rules the store keeps for it (store_rules.h), as one commit.
    // Throws EDatabaseError with SQLite's message and the statement: also for an empty text
    // and for a text that holds more than one statement.
    using Row = std::vector<std::optional<std::string>>;
    void run(const std::string& sql, std::vector<std::string>* columns = nullptr,
             std::vector<Row>* rows = nullptr);

    // As run, for a statement that must return rows; one that does not is refused before it
    // runs. It stops after maxRows rows: the rest is not read.
    void select(const std::string& sql, std::vector<std::string>& columns, std::vector<Row>& rows,
                size_t maxRows = SIZE_MAX);

    sqlite3* handle() const { return db_; }

  private:
    void close();
    void execute(const std::string& sql, bool mustReturnRows, std::vector<std::string>* columns,
                 std::vector<Row>* rows, size_t maxRows = SIZE_MAX);
    static int authorize(void* self, int action, const char*, const char*, const char*,
                         const char*);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    bool schemaChanging_ = false;  // set while a statement is prepared
};

}  // namespace qpane
