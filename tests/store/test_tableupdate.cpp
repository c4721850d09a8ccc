#include <gtest/gtest.h>

#include "platform/convert.h"
#include "store/tableupdate.h"
#include "store/write_batch.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::RecordingBoxes;
using testing::StoreTest;

class TableupdateTest : public StoreTest {
  protected:
    void upgrade() {
        TQuery Qedit(db(), "Qedit");
        tableupdate(Qedit, boxes_);
    }
    std::string count(const std::string& where = "") {
        return value("select count(*) from timedata" + (where.empty() ? "" : " where " + where));
    }
    RecordingBoxes boxes_;
};

TEST_F(TableupdateTest, FirstStartAddsVersionBlockAndRowsOfBlocksOneToNine) {
    exec("update timedata set time1='00:01:00.00' where bib='005'");
    upgrade();
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(rows("select * from tableupd"), (std::vector<std::vector<std::string>>{{"1"}}));
    EXPECT_EQ(count(), "9990");
    EXPECT_EQ(count("block='0'"), "999");
    for (int b = 1; b <= 9; ++b) {
        std::string block = "block='" + std::to_string(b) + "'";
        EXPECT_EQ(count(block), "999") << block;
        EXPECT_EQ(value("select min(bib)||max(bib) from timedata where " + block), "001999");
    }
    // the old rows keep their values; the new ones carry only block and bib
    EXPECT_EQ(value("select time1 from timedata where bib='005' and block='0'"), "00:01:00.00");
    EXPECT_EQ(count("block<>'0' and (grp is not null or time1 is not null or time2 is not null "
                    "or totalt is not null or totaltv is not null or lap is not null)"),
              "0");
    // inserted block by block, bib by bib
    std::vector<std::string> order = column("select block||bib from timedata order by rowid");
    ASSERT_EQ(order.size(), 9990u);
    EXPECT_EQ(order[998], "0999");
    EXPECT_EQ(order[999], "1001");
    EXPECT_EQ(order[1998], "2001");
    EXPECT_EQ(order[9989], "9999");
}

// The upgrade makes the new column's rules and indexes after its rows; the file must end as
// when each statement gets them at once, so that stores upgraded either way are alike.
TEST_F(TableupdateTest, UpgradedSchemaIsTheSameAsWithTheRulesMadeAtEachStatement) {
    upgrade();
    const std::string schema = "select type, name, tbl_name, sql from sqlite_schema order by rowid";
    const auto upgraded = rows(schema);

    folder_ = root_ / "one-by-one";
    reopen();
    exec("CREATE table TABLEUPD (UPV smallint)");
    exec("insert into tableupd values (0)");
    {
        WriteBatch batch(db());
        exec("ALTER TABLE TIMEDATA add BLOCK VARCHAR(1)");
        exec("update timedata set block='0'");
        for (int b = 1; b <= 9; ++b)
            for (int n = 1; n <= 999; ++n)
                exec("insert into timedata (block,bib) values ('" + std::to_string(b) + "','" +
                     formatBib(n) + "')");
    }
    exec("update tableupd set upv=1");
    EXPECT_EQ(upgraded, rows(schema));
    EXPECT_EQ(value("pragma integrity_check"), "ok");
}

// Also when an insert fails half-way: the rows before it are kept with every rule in force.
TEST_F(TableupdateTest, RulesOfTheNewColumnHoldAfterTheUpgradeAndAfterAFailedInsert) {
    auto expectRules = [&](const std::string& bib) {
        exec("insert into timedata (block, bib, time1) values ('', 'x" + bib + "', '')");
        EXPECT_EQ(rows("select block, time1 from timedata where bib='x" + bib + "'"),
                  (std::vector<std::vector<std::string>>{{"<null>", "<null>"}}));
        exec("update timedata set block='' where bib='" + bib + "' and block='1'");
        EXPECT_EQ(count("bib='" + bib + "' and block is null"), "1");
        EXPECT_EQ(value("select count(*) from sqlite_schema where type='index' and name in "
                        "('timedata_block_bib', 'timedata_rank_time1', 'timedata_rank_totalt')"),
                  "3");
        EXPECT_EQ(value("pragma integrity_check"), "ok");
    };
    upgrade();
    expectRules("001");

    folder_ = root_ / "failed";
    reopen();
    exec(
        "create trigger refuse after insert on timedata when new.rowid = 999 + 1500 "
        "begin select raise(abort, 'refused'); end");
    upgrade();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    exec("drop trigger refuse");
    reopen();
    expectRules("002");
}

TEST_F(TableupdateTest, SecondStartChangesNothing) {
    upgrade();
    exec("update timedata set time1='00:02:00.00' where bib='010' and block='4'");
    reopen();
    upgrade();
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(count(), "9990");
    EXPECT_EQ(value("select time1 from timedata where bib='010' and block='4'"), "00:02:00.00");
    EXPECT_EQ(value("select upv from tableupd"), "1");
}

TEST_F(TableupdateTest, VersionTableWithoutRowRunsTheUpgradeAtEveryStart) {
    exec("create table TABLEUPD (UPV smallint)");
    upgrade();
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(count(), "9990");
    EXPECT_EQ(value("select count(*) from tableupd"), "0");  // the final update found no row
    upgrade();
    ASSERT_EQ(boxes_.messages.size(), 1u);  // the column is there already
    EXPECT_EQ(count(), "9990");
    upgrade();
    EXPECT_EQ(boxes_.messages.size(), 2u);
}

TEST_F(TableupdateTest, ExistingBlockColumnWithVersionZeroFailsAndSetsVersion) {
    exec("alter table timedata add block varchar(1)");
    upgrade();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0], "テーブル TIMEDATA への列の追加に失敗しました。");
    EXPECT_EQ(count(), "999");
    EXPECT_EQ(count("block is not null"), "0");  // the block update did not run either
    EXPECT_EQ(value("select upv from tableupd"), "1");
    upgrade();
    EXPECT_EQ(boxes_.messages.size(), 1u);
}

TEST_F(TableupdateTest, FailingInsertKeepsTheRowsBeforeItAndSkipsTheRest) {
    // block 3 bib 500 is the 2498th new row
    exec(
        "create trigger refuse after insert on timedata when new.rowid = 999 + 2498 "
        "begin select raise(abort, 'refused'); end");
    upgrade();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    reopen();
    EXPECT_EQ(count(), std::to_string(999 + 2497));
    EXPECT_EQ(count("block='0'"), "999");
    EXPECT_EQ(count("block='3'"), "499");
    EXPECT_EQ(value("select max(bib) from timedata where block='3'"), "499");
    EXPECT_EQ(count("block>'3'"), "0");
    EXPECT_EQ(value("select upv from tableupd"), "1");
}

TEST_F(TableupdateTest, FailingVersionUpdateIsSilentAndTheUpgradeRunsAgain) {
    exec("create table TABLEUPD (UPV smallint)");
    exec("insert into tableupd values (0)");
    exec("create trigger keep before update on tableupd begin select raise(abort, 'no'); end");
    upgrade();
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(value("select upv from tableupd"), "0");
    upgrade();
    EXPECT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(count(), "9990");
}

TEST_F(TableupdateTest, UnreadableVersionTableThatCannotBeMadeGoesToTheCaller) {
    exec("create view TABLEUPD as select upv from nosuchtable_dropped");
    TQuery Qedit(db(), "Qedit");
    EXPECT_THROW(tableupdate(Qedit, boxes_), EDatabaseError);
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(count(), "999");
}

TEST_F(TableupdateTest, VersionAboveOneCountsAsApplied) {
    exec("create table TABLEUPD (UPV smallint)");
    exec("insert into tableupd values (2)");
    upgrade();
    EXPECT_EQ(count(), "999");
    EXPECT_TRUE(boxes_.messages.empty());
}

}  // namespace
}  // namespace qpane
