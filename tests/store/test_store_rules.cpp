#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "store/tableupdate.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::RecordingBoxes;
using testing::StoreTest;
using Rows = std::vector<std::vector<std::string>>;

// The rules on an upgraded store, reached through query objects as the window reaches them.
class StoreRulesTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        TQuery Qedit(db(), "Qedit");
        RecordingBoxes boxes;
        tableupdate(Qedit, boxes);
        ASSERT_TRUE(boxes.messages.empty());
    }
    // Sets the lines of Qedit and executes them.
    void execLines(std::initializer_list<std::string> lines) {
        TQuery q(db(), "Qedit");
        for (const auto& l : lines)
            q.SQL().Add(l);
        q.ExecSQL();
    }
    int recordCount(const std::string& sql) {
        TQuery q(db(), "Qedit", {sql});
        q.Open();
        return q.RecordCount();
    }
    std::string field(const std::string& sql, const std::string& name) {
        TQuery q(db(), "Qtemp", {sql});
        q.Open();
        return q.FieldByName(name).AsString();
    }
    void setTime1(const std::string& bib, const std::string& block, const std::string& t) {
        execLines({"update timedata set time1='" + sqlValue(t) + "'",
                   "where bib='" + sqlValue(bib) + "' and block='" + sqlValue(block) + "'"});
    }
};

TEST_F(StoreRulesTest, EmptyTextLeavesNoValueInEveryColumn) {
    execLines({"update timedata set time1='00:01:00.00',time2='x',totalt='y',totaltv='5',lap='2'",
               "where bib='001' and block='1'"});
    execLines(
        {"update timedata set bib='',block='',grp='',time1='',time2='',totalt='',"
         "totaltv='',lap='' where bib='001' and block='1'"});
    EXPECT_EQ(rows("select count(*) from timedata where coalesce(bib,block,grp,time1,time2,"
                   "totalt,totaltv,lap) is null"),
              (Rows{{"1"}}));
    execLines({"insert into timedata (bib,block,grp,time1,lap) values ('','','','','')"});
    EXPECT_EQ(value("select count(*) from timedata where rowid=(select max(rowid) from timedata) "
                    "and coalesce(bib,block,grp,time1,lap) is null"),
              "1");
    execLines({"insert into crosst values('','','','','','','','','','','','')"});
    EXPECT_EQ(rows("select * from crosst"), (Rows{std::vector<std::string>(12, "<null>")}));
    execLines({"update tableupd set upv=''"});  // the version table made by the upgrade too
    EXPECT_EQ(value("select typeof(upv) from tableupd"), "null");
    // a value that is not empty is kept as written, blanks included
    execLines({"update timedata set time1=' ' where bib='002' and block='1'"});
    EXPECT_EQ(value("select time1 from timedata where bib='002' and block='1'"), " ");
}

TEST_F(StoreRulesTest, NoValueReadsEmptySatisfiesNoComparisonAndIsSkippedByAggregates) {
    setTime1("003", "1", "00:00:59.00");
    setTime1("004", "1", "");
    const std::string where = "where block='1' and bib in ('003','004')";
    EXPECT_EQ(field("select time1 from timedata where bib='004' and block='1'", "time1"), "");
    for (const char* test : {"time1<>''", "time1=''", "time1<'99'", "time1>=''", "time1<=''"})
        EXPECT_EQ(value("select count(*) from timedata " + where + " and bib='004' and " + test),
                  "0")
            << test;
    EXPECT_EQ(field("select count(time1) as cn from timedata " + where, "cn"), "1");
    EXPECT_EQ(field("select min(time1) as m from timedata where block='1'", "m"), "00:00:59.00");
    EXPECT_EQ(field("select max(lap) as lapn from timedata", "lapn"), "");
}

TEST_F(StoreRulesTest, ClearingStatementsOfTheApplyButtonLeaveNoValues) {
    for (int i = 1; i <= 5; ++i) {
        std::string bib = "00" + std::to_string(i);
        execLines({"update timedata set time1='00:01:0" + std::to_string(i) +
                       ".00',time2='00:01:10.00',totalt='00:02:10.00',totaltv='13000',lap='" +
                       std::to_string(i) + "'",
                   "where bib='" + bib + "' and block='2'"});
    }
    ASSERT_EQ(recordCount("select * from timedata where time2<>''"), 5);
    execLines({"update timedata set time2='',totalt=''", ",lap=''"});
    EXPECT_EQ(recordCount("select * from timedata where time2<>''"), 0);
    EXPECT_EQ(field("select max(lap) as lapn from timedata", "lapn"), "");
    EXPECT_EQ(field("select count(totaltv) as cn from timedata", "cn"), "5");  // not cleared

    ASSERT_EQ(recordCount("select * from timedata where (time1<>'')or(totalt<>'')"), 5);
    execLines({"update timedata set time1='',totalt='',lap='',totaltv=''"});
    EXPECT_EQ(recordCount("select * from timedata where (time1<>'')or(totalt<>'')"), 0);
    EXPECT_EQ(field("select count(bib) as cn from timedata where time1<'99:99:99.99'", "cn"), "0");
    EXPECT_EQ(field("select count(bib) as cn from timedata where time1<'99:99:99.99' and "
                    "grp='0' and block='2'",
                    "cn"),
              "0");
    EXPECT_EQ(rows("select min(time1),max(time1),min(totalt),max(totaltv),count(totaltv) "
                   "from timedata"),
              (Rows{{"<null>", "<null>", "<null>", "<null>", "0"}}));
    // the rows themselves stay, with their bib, block and group
    EXPECT_EQ(value("select count(*) from timedata"), "9990");
    EXPECT_EQ(value("select grp from timedata where bib='001' and block='0'"), "0");

    execLines({"insert into crosst values('1','a','','','','','','','','','','0')"});
    execLines({"delete from crosst"});
    EXPECT_EQ(recordCount("select * from crosst"), 0);
}

TEST_F(StoreRulesTest, UcLapAndTotaltvCompareOrderAndAggregateAsNumbers) {
    for (int uc : {3, 10, 1, 7, 2, 9, 4, 8, 6, 5})
        execLines({"insert into crosst values('" + std::to_string(uc) + "'",
                   ",'p" + std::to_string(uc) + "','','','',''", ",'','','','','','0')"});
    EXPECT_EQ(field("select max(uc) as maxc from crosst", "maxc"), "10");
    EXPECT_EQ(column("select uc from crosst where sumi='0' order by uc"),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(field("select * from crosst where uc='2'", "tm1"), "p2");
    execLines({"update crosst set sumi='1' where uc='10'"});
    EXPECT_EQ(field("select * from crosst where sumi='1'", "uc"), "10");

    auto relay = [&](const char* bib, const char* total, const char* count, const char* lap) {
        execLines({std::string("update timedata set totalt='") + total + "',totaltv='" + count +
                       "',lap='" + lap + "'",
                   std::string("where bib='") + bib + "' and block='3'"});
    };
    relay("001", "00:09:50.00", "59000", "9");
    relay("002", "00:16:40.00", "100000", "10");
    relay("003", "00:15:50.00", "95000", "10");
    relay("004", "00:20:00.00", "120000", "9");
    EXPECT_EQ(field("select max(lap) as lapn from timedata where block='3'", "lapn"), "10");
    EXPECT_EQ(column("select bib from timedata where block='3' and totalt<>'' "
                     "order by lap desc,totaltv"),
              (std::vector<std::string>{"003", "002", "001", "004"}));
    EXPECT_EQ(field("select count(bib) as cn from timedata where lap='10'", "cn"), "2");
    EXPECT_EQ(field("select count(bib) as cn from timedata where totaltv<'100000'", "cn"), "2");
    // rows without a lap come after every lap in the relay ranking
    std::vector<std::string> all =
        column("select bib||block from timedata order by lap desc,totaltv");
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 4),
              (std::vector<std::string>{"0033", "0023", "0013", "0043"}));
}

TEST_F(StoreRulesTest, OtherColumnsCompareAsText) {
    EXPECT_EQ(value("select count(*) from timedata where block='1' and bib>='001' and bib<='050'"),
              "50");
    EXPECT_EQ(value("select bib from timedata where bib='002' and block='1'"), "002");
    execLines({"update timedata set grp='10' where bib='001' and block='1'"});
    execLines({"update timedata set grp='9' where bib='002' and block='1'"});
    EXPECT_EQ(column("select grp from timedata where block='1' and grp<>'' order by grp"),
              (std::vector<std::string>{"10", "9"}));
    EXPECT_EQ(value("select max(grp) from timedata where block='1'"), "9");
    // "2" is not a number's spelling of "002": text compares as text
    EXPECT_EQ(value("select count(*) from timedata where bib='2'"), "0");
    setTime1("005", "1", "00:10:00.00");
    setTime1("006", "1", "00:09:59.99");
    EXPECT_EQ(column("select bib from timedata where block='1' and time1<>'' order by time1"),
              (std::vector<std::string>{"006", "005"}));
}

TEST_F(StoreRulesTest, TableAndColumnNamesWithoutRegardToCase) {
    EXPECT_EQ(field("select UPV from TABLEUPD", "upv"), "1");
    EXPECT_EQ(field("select upv from tableupd", "UPV"), "1");
    execLines({"UPDATE TIMEDATA SET TIME1='00:00:10.00' WHERE BIB='007' AND BLOCK='4'"});
    EXPECT_EQ(field("select Time1 from TimeData where bib='007' and block='4'", "time1"),
              "00:00:10.00");
}

TEST_F(StoreRulesTest, QuotesInsideValuesCannotBreakOrChangeAStatement) {
    setTime1("008", "1", "00:0'1:2''3");
    EXPECT_EQ(
        field("select time1 from timedata where time1='" + sqlValue("00:0'1:2''3") + "'", "time1"),
        "00:0'1:2''3");
    // a bib that would widen the statement's condition matches no row
    setTime1("' or ''='", "1", "99:99:99.99");
    EXPECT_EQ(value("select count(*) from timedata where time1='99:99:99.99'"), "0");
    setTime1("009", "1'", "99:99:99.99");
    EXPECT_EQ(value("select count(*) from timedata where time1='99:99:99.99'"), "0");
}

TEST_F(StoreRulesTest, EveryByteRoundTripsAndTextOrderIsByteOrder) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    setTime1("010", "1", all);
    TQuery q(db(), "Qtemp");
    q.SQL().Add("select time1 from timedata where time1='" + sqlValue(all) + "'");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("time1").AsString(), all);

    setTime1("011", "1", "\x7f");
    setTime1("012", "1", "\xc1");
    setTime1("013", "1", "\x80");
    setTime1("014", "1", std::string("a\0b", 3));
    setTime1("015", "1", "a");
    EXPECT_EQ(column("select bib from timedata where block='1' and bib>='011' and time1<>'' "
                     "order by time1"),
              (std::vector<std::string>{"015", "014", "011", "013", "012"}));
}

TEST_F(StoreRulesTest, NulByteOutsideAValueIsRefused) {
    EXPECT_THROW(exec(std::string("delete from crosst\0 where uc='1'", 32)), EDatabaseError);
    EXPECT_THROW(exec(std::string("select \"a\0\" from crosst", 24)), EDatabaseError);
    EXPECT_THROW(exec(std::string("select 1 -- \0\n", 14)), EDatabaseError);
}

TEST_F(StoreRulesTest, EqualKeysComeInTheOrderTheRowsWereInserted) {
    execLines({"update timedata set grp='1' where block='2'"});
    for (const char* bib : {"010", "003", "007", "005"})
        setTime1(bib, "2", "00:01:00.00");
    setTime1("001", "2", "00:00:59.00");
    const std::string ranking =
        "select * from timedata where time1<>'' and grp='1' and block='2' order by time1";
    EXPECT_EQ(column("select bib from (" + ranking + ")"),
              (std::vector<std::string>{"001", "003", "005", "007", "010"}));
    EXPECT_EQ(column("select bib from timedata where time1<>'' order by time1,bib desc"),
              (std::vector<std::string>{"001", "010", "007", "005", "003"}));
    // the same without the indexes that serve the rankings
    exec("drop index timedata_rank_time1");
    exec("drop index timedata_block_bib");
    EXPECT_EQ(column("select bib from (" + ranking + ")"),
              (std::vector<std::string>{"001", "003", "005", "007", "010"}));
}

TEST_F(StoreRulesTest, IndexesServeTheRaceStatementsAfterTheUpgrade) {
    auto plan = [&](const std::string& sql) {
        std::string all;
        for (auto& r : rows("explain query plan " + sql))
            all += r.back() + "\n";
        return all;
    };
    EXPECT_NE(plan("update timedata set time1='x' where bib='001' and block='1'")
                  .find("timedata_block_bib"),
              std::string::npos);
    std::string ranking =
        plan("select * from timedata where time1<>'' and grp='1' and block='1' order by time1");
    EXPECT_NE(ranking.find("timedata_rank_time1"), std::string::npos) << ranking;
    EXPECT_EQ(ranking.find("TEMP B-TREE"), std::string::npos) << ranking;  // no sort
    EXPECT_NE(plan("select count(bib) as cn from timedata where totalt<'x' and grp='1' and "
                   "block='1'")
                  .find("timedata_rank_totalt"),
              std::string::npos);
    EXPECT_NE(plan("select * from crosst where uc='3'").find("crosst_uc"), std::string::npos);
}

TEST_F(StoreRulesTest, OneStatementAtATime) {
    EXPECT_THROW(exec("delete from crosst; delete from timedata"), EDatabaseError);
    EXPECT_EQ(value("select count(*) from timedata"), "9990");
    EXPECT_EQ(value("select count(*) from timedata; -- the count"), "9990");
}

TEST_F(StoreRulesTest, RulesHoldForAnotherClientOfTheFile) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Database::fileIn(folder_).string().c_str(), &other), SQLITE_OK);
    sqlite3_busy_timeout(other, 2000);
    ASSERT_EQ(sqlite3_exec(other,
                           "update timedata set time1='',block='' where bib='020' and block='5';"
                           "insert into crosst values('2','','','','','','','','','','','');"
                           "insert into crosst values('10','','','','','','','','','','','')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(value("select count(*) from timedata where bib='020' and block is null"), "1");
    EXPECT_EQ(value("select max(uc) from crosst"), "10");
    EXPECT_EQ(value("select count(tm1) from crosst"), "0");
}

TEST_F(StoreRulesTest, StoreWithTheEarlierUpdateRuleOverEveryColumnGetsTheRuleOfEachColumn) {
    // A store written before the rule was kept per column: one update trigger over all columns.
    reopen();
    sqlite3* h = db().handle();
    for (const std::string& name : column("select name from sqlite_schema where type='trigger' "
                                          "and name like 'empty_upd:%'"))
        ASSERT_EQ(
            sqlite3_exec(h, ("drop trigger \"" + name + "\"").c_str(), nullptr, nullptr, nullptr),
            SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(h,
                           "CREATE TRIGGER \"empty_upd:timedata\" AFTER UPDATE ON timedata WHEN "
                           "NEW.time1 = '' BEGIN UPDATE timedata SET time1 = NULLIF(time1, '') "
                           "WHERE rowid = NEW.rowid; END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    reopen();
    EXPECT_EQ(value("select count(*) from sqlite_schema where name='empty_upd:timedata'"), "0");
    EXPECT_EQ(value("select count(*) from sqlite_schema where name like 'empty_upd:timedata:%'"),
              "8");  // bib grp time1 time2 totalt totaltv lap block
    exec("update timedata set time1='00:01:00.00', totalt='00:02:00.00' where bib='007'");
    setTime1("007", "3", "");
    execLines({"update timedata set totalt='', lap='' where bib='007' and block='4'"});
    EXPECT_EQ(
        rows("select block, time1, totalt, lap from timedata where bib='007' and block in "
             "('3','4') order by block"),
        (Rows{{"3", "<null>", "00:02:00.00", "<null>"}, {"4", "00:01:00.00", "<null>", "<null>"}}));
    // The rule of a column holds only for that column: a set of another leaves it as it is.
    EXPECT_EQ(value("select count(*) from timedata where time1 = '' or totalt = '' or lap = ''"),
              "0");
}

}  // namespace
}  // namespace qpane
