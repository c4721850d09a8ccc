#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace qpane {

// The connection Db1: one SQLite file in the data folder, reached through the alias
// "QPANEData". An update has reached the disk when the statement returns.
class Database {
public:
    // Opens the store in dataFolder, creating the folder and the installation database
    // (timedata with bibs 001 to 999 of group "0", an empty crosst) when there is none.
    // Throws EDatabaseError when the store cannot be opened.
    explicit Database(const std::filesystem::path& dataFolder);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static constexpr const char* kAlias = "QPANEData";
    static std::filesystem::path fileIn(const std::filesystem::path& dataFolder);

    // Runs one statement; the rows of a select go to onRow (column names, then each row with
    // std::nullopt for no value). Throws EDatabaseError.
    using Row = std::vector<std::optional<std::string>>;
    void run(const std::string& sql, std::vector<std::string>* columns = nullptr,
             std::vector<Row>* rows = nullptr);

    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace qpane
