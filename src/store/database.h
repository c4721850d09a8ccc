#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace qpane {

// The connection Db1: one SQLite file in the data folder, reached through the alias
// "QPANEData". An update has reached the disk when the statement returns (write-ahead log,
// synchronous FULL), so it survives the process being killed and a power loss, and a crash
// never leaves the file damaged.
// One thread uses the connection: it is opened without the engine's own locks. A statement
// text that comes back is not compiled again: the compiled statements of the texts used last
// are kept.
class Database {
  public:
    // A compiled statement taken from the connection for one use; given back (reset, its
    // values unbound) when it ends or is released.
    class Statement {
      public:
        Statement() = default;
        Statement(Statement&& other) noexcept;
        Statement& operator=(Statement&& other) noexcept;
        ~Statement() { release(); }
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;

        sqlite3_stmt* get() const { return stmt_; }
        explicit operator bool() const { return stmt_ != nullptr; }
        void release();

      private:
        friend class Database;
        Statement(Database* db, std::string text, sqlite3_stmt* stmt, bool keep)
            : db_(db), text_(std::move(text)), stmt_(stmt), keep_(keep) {}
        Database* db_ = nullptr;
        std::string text_;
        sqlite3_stmt* stmt_ = nullptr;
        bool keep_ = false;  // false: finalized when released (it changed the schema)
    };

    // A result that is read row by row and holds its statement between the rows. An
    // implicit transaction is committed only when no statement of the connection is in the
    // middle of its rows, so every such result lets go of its statement before anything else
    // than a read runs: a write is on the disk when it returns.
    class Reader {
      public:
        virtual void letGo() = 0;

      protected:
        ~Reader() = default;
    };

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

    // As run, for a statement whose ? places take the values, in order, as texts; a
    // statement that is run many times with other values is compiled once.
    void runWithValues(const std::string& sql, std::initializer_list<std::string_view> values);

    // The compiled statement of a text that must return rows, ready to step, for a reader:
    // the same checks and errors as select. Nothing else is let go of: readers share the
    // connection's reading.
    Statement prepareRows(const std::string& sql);
    // The compiled statement of a text the console makes itself (no check, no second
    // statement); an empty Statement when it does not compile.
    Statement prepareOwn(const std::string& sql);

    // A reader holding its statement in the middle of its rows, until it lets go.
    void addReader(Reader* reader);
    void removeReader(Reader* reader);
    // Every reader lets go of its statement (before a statement that writes).
    void letReadersGo();

    // For a batch of the console's own writes, whose values are never empty, into a table it
    // alters first: while the rules are held, a statement that creates or alters a table drops
    // the empty-text insert trigger that no longer fits instead of making the rules at once,
    // and keepHeldStoreRules makes every rule in the same transaction, before its commit
    // (WriteBatch with RulesAtCommit). The schema then ends as with the rules made at once.
    void holdStoreRules() { rulesHeld_ = true; }
    void keepHeldStoreRules();  // throws EDatabaseError

    sqlite3* handle() const { return db_; }

  private:
    void close();
    void execute(const std::string& sql, bool mustReturnRows, std::vector<std::string>* columns,
                 std::vector<Row>* rows, size_t maxRows = SIZE_MAX,
                 std::initializer_list<std::string_view> values = {});
    // The statement of text (which must hold one statement), from the kept ones or compiled.
    Statement take(const std::string& text);
    Statement takeIdle(const std::string& text);
    void giveBack(std::string text, sqlite3_stmt* stmt);
    void dropIdleStatements();
    static int authorize(void* self, int action, const char*, const char*, const char*,
                         const char*);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
    bool schemaChanging_ = false;  // set while a statement is prepared
    bool rulesHeld_ = false;

    // Compiled statements not in use, the one used last first, by text.
    struct Idle {
        std::string text;
        sqlite3_stmt* stmt;
    };
    static constexpr size_t kKeptStatements = 64;
    std::list<Idle> idle_;
    std::unordered_multimap<std::string, std::list<Idle>::iterator> idleByText_;
    std::vector<Reader*> readers_;
};

}  // namespace qpane
