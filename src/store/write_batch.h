#pragma once

namespace qpane {

class Database;

// Groups the statements run while it lives into one transaction, so that thousands of writes
// cost one commit instead of one each. Whatever ran is kept when the batch ends, also when it
// ends because a statement failed: a failed statement undoes only itself. Statements run in a
// batch reach the disk at its commit, not when they return.
class WriteBatch {
  public:
    // RulesAtCommit: the store's rules of the tables altered in the batch are made at its
    // commit (Database::holdStoreRules): only for writes whose values are never empty.
    enum class Rules { AtEachChange, AtCommit };
    explicit WriteBatch(Database& db, Rules rules = Rules::AtEachChange);  // throws EDatabaseError
    // Commits what is still open; never throws (a commit that fails undoes the batch).
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // Throws EDatabaseError when the writes could not be committed, also when the engine
    // already undid the transaction after an error of the disk.
    void commit();

  private:
    Database& db_;
    bool open_ = true;
};

}  // namespace qpane
