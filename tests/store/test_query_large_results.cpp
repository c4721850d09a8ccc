// Query objects over results far larger than what their readers look at: the board reads ten
// rows of a ranking, a grid the rows it shows, the pass display one row of its backlog.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/convert.h"
#include "store/query.h"
#include "store/statement_bytes.h"
#include "store/write_batch.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::StoreTest;

constexpr int kRunners = 500;

class LargeResultTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        exec("create table runners (bib varchar(3), time1 varchar(12), note varchar(10))");
        exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
             std::to_string(kRunners) +
             ") insert into runners select substr('00' || i, -3), '00:01:' || (10 + i % 50) || "
             "'.' || (10 + i % 90), case when i % 7 = 0 then '' else 'n' || i end from n");
    }
    // What another client of the file sees: only what has been committed.
    std::string committedValue(const std::string& sql) {
        sqlite3* other = nullptr;
        const std::string file = db().file().string();
        EXPECT_EQ(sqlite3_open_v2(file.c_str(), &other, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        std::string value = "<none>";
        if (sqlite3_prepare_v2(other, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        sqlite3_close(other);
        return value;
    }
};

TEST_F(LargeResultTest, RowsComeInOrderAndCountLocateAndGridCellsReachPastWhatWasRead) {
    TQuery q(db(), "Qtimedp", {"select bib, note from runners order by bib"});
    q.Open();
    EXPECT_EQ(q.RecordCount(), kRunners);  // before any row was read past the first
    EXPECT_EQ(q.rowCount(), kRunners);
    EXPECT_EQ(q.FieldByName("bib").AsString(), "001");
    for (int i = 0; i < 9; ++i)
        q.Next();
    EXPECT_EQ(q.recNo(), 9);
    EXPECT_EQ(q.FieldByName("bib").AsString(), "010");
    EXPECT_EQ(q.cell(449, 0), "450");    // a grid scrolled far down
    EXPECT_TRUE(q.cellIsNull(447, 1));   // 448 is a multiple of 7: no value
    EXPECT_EQ(q.cell(kRunners, 0), "");  // outside the result
    EXPECT_EQ(q.recNo(), 9);             // reading cells leaves the cursor
    EXPECT_TRUE(q.Locate("bib", "321"));
    EXPECT_EQ(q.recNo(), 320);
    EXPECT_EQ(q.FieldByName("note").AsString(), "n321");
    EXPECT_FALSE(q.Locate("bib", "999"));
    EXPECT_EQ(q.recNo(), 320);
    q.setRecNo(kRunners - 1);
    EXPECT_EQ(q.FieldByName("bib").AsString(), "500");
    EXPECT_FALSE(q.Eof());
    q.Next();
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.recNo(), kRunners - 1);
    q.First();
    EXPECT_EQ(q.FieldByName("bib").AsString(), "001");
    EXPECT_EQ(q.RecordCount(), kRunners);
    EXPECT_FALSE(q.HasOnlyOneRecord());
    for (const auto& [where, one] :
         {std::pair{"bib='007'", true}, {"bib>'498'", false}, {"bib='nobody'", false}}) {
        TQuery ranking(db(), "Qedit", {std::string("select * from runners where ") + where});
        ranking.Open();
        EXPECT_EQ(ranking.HasOnlyOneRecord(), one) << where;
        EXPECT_EQ(ranking.HasOnlyOneRecord(), ranking.RecordCount() == 1) << where;
        EXPECT_EQ(ranking.recNo(), ranking.RecordCount() ? 0 : -1);  // the cursor stays
    }

    // Every row once, in order, by Next alone.
    TQuery all(db(), "Qedit", {"select bib from runners order by bib desc"});
    all.Open();
    std::vector<std::string> seen;
    for (; !all.Eof(); all.Next())
        seen.push_back(all.FieldByName("bib").AsString());
    ASSERT_EQ(seen.size(), static_cast<size_t>(kRunners));
    EXPECT_EQ(seen.front(), "500");
    EXPECT_EQ(seen.back(), "001");
}

TEST_F(LargeResultTest, AWriteWhileQueriesHoldUnreadRowsIsCommittedWhenItReturns) {
    TQuery ranking(db(), "Qedit", {"select * from runners order by time1"});
    TQuery grid(db(), "Qtimedp", {"select bib from runners order by bib"});
    ranking.Open();
    ranking.Next();
    grid.Open();
    TQuery Qedit2(db(), "Qedit2", {"update runners set time1='00:00:59.99' where bib='250'"});
    Qedit2.ExecSQL();
    EXPECT_EQ(committedValue("select time1 from runners where bib='250'"), "00:00:59.99");
    db().run("update runners set note='late' where bib='251'");
    EXPECT_EQ(committedValue("select note from runners where bib='251'"), "late");
    {
        WriteBatch batch(db());
        db().run("update runners set note='batch' where bib='252'");
        batch.commit();
    }
    EXPECT_EQ(committedValue("select note from runners where bib='252'"), "batch");
    // The queries go on where they were.
    EXPECT_EQ(ranking.recNo(), 1);
    grid.Next();
    EXPECT_EQ(grid.FieldByName("bib").AsString(), "002");
}

TEST_F(LargeResultTest, RowsAlreadyReadStayAsTheyWereWhenTheStoreChanges) {
    TQuery q(db(), "Qtop", {"select bib, note from runners order by bib"});
    q.Open();
    for (int i = 0; i < 4; ++i)
        q.Next();
    exec("update runners set note='changed' where bib in ('002','005')");
    q.Open();  // open already: rows and cursor kept
    EXPECT_EQ(q.recNo(), 4);
    EXPECT_EQ(q.FieldByName("note").AsString(), "n5");
    q.First();
    q.Next();
    EXPECT_EQ(q.FieldByName("note").AsString(), "n2");
    // Closing and opening reads the store as it is.
    q.Close();
    q.Open();
    q.Next();
    EXPECT_EQ(q.FieldByName("note").AsString(), "changed");
}

TEST_F(LargeResultTest, RowLimitReadsOnlyTheFirstRows) {
    TQuery q(db(), "Qcross", {"select bib from runners order by bib desc"});
    q.setRowLimit(1);
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("bib").AsString(), "500");
    EXPECT_FALSE(q.Locate("bib", "499"));
    q.Next();
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.rowCount(), 1);
    EXPECT_EQ(q.cell(1, 0), "");
}

TEST_F(LargeResultTest, OneTextInTwoQueriesGivesEachItsOwnCursor) {
    const std::vector<std::string> text{"select bib from runners order by bib"};
    TQuery Qtop(db(), "Qtop", text);
    TQuery Qed1(db(), "Qed1", text);
    Qtop.Open();
    Qtop.Next();
    Qed1.Open();
    Qtop.Next();
    EXPECT_EQ(Qtop.FieldByName("bib").AsString(), "003");
    EXPECT_EQ(Qed1.FieldByName("bib").AsString(), "001");
    Qed1.Close();
    EXPECT_EQ(Qtop.RecordCount(), kRunners);
    Qtop.Next();
    EXPECT_EQ(Qtop.FieldByName("bib").AsString(), "004");
}

TEST_F(LargeResultTest, ATextThatComesBackReadsTheTableAsItIsNow) {
    TQuery q(db(), "Qedit", {"select * from runners where bib='007'"});
    q.Open();
    EXPECT_EQ(q.columnCount(), 3);
    q.Close();
    exec("alter table runners add lap numeric");
    exec("update runners set lap='2' where bib='007'");
    q.Open();
    ASSERT_EQ(q.columnCount(), 4);
    EXPECT_EQ(q.FieldByName("lap").AsInteger(), 2);
    EXPECT_EQ(q.FieldByName("note").AsString(), "");  // stored empty: no value
    // A second statement in the text is refused every time it comes.
    TQuery two(db(), "Qedit2", {"select 1; select 2"});
    EXPECT_THROW(two.Open(), EDatabaseError);
    EXPECT_THROW(two.Open(), EDatabaseError);
    EXPECT_FALSE(two.Active());
}

TEST_F(LargeResultTest, AWriteOfAFormSeenBeforeStoresItsOwnValuesAndFailsWithItsOwnText) {
    for (int n = 1; n <= 3; ++n)
        exec("update runners set note='it''s " + std::to_string(n) + "' where bib='00" +
             std::to_string(n) + "'");
    EXPECT_EQ(column("select note from runners where bib<='003' order by bib"),
              (std::vector<std::string>{"it's 1", "it's 2", "it's 3"}));
    exec("update runners set time1='' where bib='004'");  // the empty text still leaves no value
    EXPECT_EQ(value("select time1 is null from runners where bib='004'"), "1");
    try {
        exec("update runners set nosuch='1' where bib='005'");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("no such column: nosuch"), std::string::npos) << what;
        EXPECT_NE(what.find("update runners set nosuch='1' where bib='005'"), std::string::npos)
            << what;
    }
}

// A lookup whose compared values are bound gives what the text as written gives: the same
// rows in the same order, under the same column names, with the column's affinity applied
// to the value; one form serves one value after another.
TEST_F(LargeResultTest, LookupsWithTheirValuesBoundGiveTheRowsAndNamesOfTheTextAsWritten) {
    exec("create table passes (uc numeric, tm1 varchar(255), sumi varchar(1))");
    exec(
        "insert into passes values ('5','a','0'), ('05','b','1'), (5.0,'c','0'), "
        "('abc','d','0'), ('6','it''s','0'), (7,'','1')");
    auto asWritten = [&](const std::string& sql) {
        std::vector<std::string> out;
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db().handle(), sql.c_str(), -1, &s, nullptr), SQLITE_OK)
            << sql;
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            out.push_back(std::string("name:") + sqlite3_column_name(s, c));
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                const unsigned char* t = sqlite3_column_text(s, c);
                out.push_back(t ? reinterpret_cast<const char*>(t) : "<null>");
            }
        sqlite3_finalize(s);
        return out;
    };
    auto throughQuery = [&](const std::string& sql) {
        TQuery q(db(), "Qtemp", {sql});
        q.Open();
        std::vector<std::string> out;
        for (int c = 0; c < q.columnCount(); ++c)
            out.push_back("name:" + q.columnName(c));
        for (int r = 0; r < q.rowCount(); ++r)
            for (int c = 0; c < q.columnCount(); ++c)
                out.push_back(q.cellIsNull(r, c) ? "<null>" : q.cell(r, c));
        return out;
    };
    for (const char* sql : {
             "select * from passes where uc='5'",
             "select * from passes where uc='05'",
             "select * from passes where uc = '5.0' order by tm1 desc",
             "select * from passes where uc='abc'",
             "select * from passes where uc='6'",
             "select * from passes where tm1='it''s'",
             "select * from passes where tm1=''",
             "select tm1, uc='5' from passes where sumi='0'",
             "select tm1 from passes where sumi=='1' or uc>='6'",
             "select tm1, 'x' as k from passes where uc<>'5' and sumi='0'",
             "select * from passes where sumi='0' and tm1 in ('a','d')",
             "select bib from runners where bib='007'",
             "select bib from runners where bib='008'",
             "select * from runners where note='' and bib>'490'",
             "select uc from passes where (select count(*) from runners where bib='001')='1'",
         })
        EXPECT_EQ(throughQuery(sql), asWritten(sql)) << sql;
}

TEST_F(LargeResultTest, RecordCountOfEveryKindOfStatementThatReturnsRows) {
    struct Case {
        const char* sql;
        int count;
    };
    const Case cases[] = {
        {"select bib from runners where note<>'' order by bib;", kRunners - kRunners / 7},
        {"pragma table_info(runners)", 3},
        {"values (1), (2), (3), (4)", 4},
        {"with t(x) as (select 1 union all select 2) select * from t", 2},
        {"select bib from runners limit 12 -- the first twelve", 12},
        {"select count(*) from runners", 1},
        {"select bib from runners where bib > '999'", 0},
    };
    for (const Case& c : cases) {
        TQuery q(db(), "Qedit", {c.sql});
        q.Open();
        EXPECT_EQ(q.RecordCount(), c.count) << c.sql;
        int stepped = 0;
        for (; !q.Eof(); q.Next())
            ++stepped;
        EXPECT_EQ(stepped, c.count) << c.sql;
    }
}

}  // namespace
}  // namespace qpane

namespace qpane {
namespace {

// The count of a result is taken from its statement less its final order: the order may
// only go where it changes no count.
TEST(CountedStatement, OnlyTheFinalTopLevelOrderIsLeftOut) {
    EXPECT_EQ(withoutFinalOrder("select * from timedata\nwhere time1<>'' and grp='1'\norder by "
                                "time1"),
              "select * from timedata\nwhere time1<>'' and grp='1'\n");
    EXPECT_EQ(withoutFinalOrder("select * from t ORDER\n BY a desc, b -- best first"),
              "select * from t ");
    // A limit or offset depends on the order.
    for (const char* kept :
         {"select * from t order by a limit 10", "select * from t order by a limit 5 offset 2",
          "select * from (select a from t order by a limit 3) order by a limit 2",
          // in values, names, comments and brackets, nothing is a clause
          "select 'order by' from t", "select \"order by\" from t",
          "select a from t /* order by a */", "select [order] by1 from t",
          "select a from t where a = 'x -- order by a'",
          // an order inside brackets is the subquery's or a window's
          "select a, rank() over (order by a) from t", "select * from (select a from t order by a)",
          "select a from t",
          // a text the engine will refuse is left to it
          "select a from t where b = 'open order by a"}) {
        EXPECT_EQ(withoutFinalOrder(kept), kept);
    }
    EXPECT_EQ(withoutFinalOrder("select a from t order by (select b from u order by c)"),
              "select a from t ");
    EXPECT_EQ(withoutFinalOrder("select a from t union select b from u order by 1"),
              "select a from t union select b from u ");
}

// The writes of a race differ only in their values: each form is compiled once, its values
// bound. Anything that a bound value would not stand for exactly keeps its text.
TEST(WriteForm, QuotedValuesOfWritesBecomePlacesAndNothingElseDoes) {
    const auto form = withValuesAsPlaces(
        "update timedata set time1='00:01:2''3.45' -- run 1\nwhere bib='012' and \"block\"='1'");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->text, "update timedata set time1=? -- run 1\nwhere bib=? and \"block\"=?");
    EXPECT_EQ(form->values, (std::vector<std::string>{"00:01:2'3.45", "012", "1"}));
    const auto insert = withValuesAsPlaces("INSERT into crosst values('2','',' x ')");
    ASSERT_TRUE(insert);
    EXPECT_EQ(insert->text, "INSERT into crosst values(?,?,?)");
    EXPECT_EQ(insert->values, (std::vector<std::string>{"2", "", " x "}));
    EXPECT_EQ(withValuesAsPlaces(" delete from crosst where sumi='1'")->text,
              " delete from crosst where sumi=?");
    for (const char* kept :
         {"select * from timedata where bib='001'",  // a value may name a result column
          "create table t (a varchar(3) default 'x')", "update t set a=null",
          "update t set a=? where b='1'", "update t set a=:v where b='1'",
          "update t set a=CAST(X'410042' AS TEXT)", "insert into t values('1') returning a",
          "update t set a='open"}) {
        EXPECT_FALSE(withValuesAsPlaces(kept)) << kept;
    }
}

// The lookups of a race differ only in the values they compare: each form is compiled once.
TEST(LookupForm, ValuesComparedForEqualityAfterFromBecomePlacesAndNothingElseDoes) {
    const auto form = selectWithEqualValuesAsPlaces(
        "select * from timedata where bib='0''12' and block = '1'\norder by time1");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->text, "select * from timedata where bib=? and block = ?\norder by time1");
    EXPECT_EQ(form->values, (std::vector<std::string>{"0'12", "1"}));
    // Only the values after =: the rest of the text stays as written.
    const auto mixed = selectWithEqualValuesAsPlaces(
        "SELECT a, 'x' as k, b='y' FROM t WHERE c<>'' and d>='2' and e=='3' and f!='4' and "
        "g<='5' and h='6' -- k='7'\n and i in ('8') and \"j\"='9' and x'41'=k");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->text,
              "SELECT a, 'x' as k, b='y' FROM t WHERE c<>'' and d>='2' and e==? and f!='4' and "
              "g<='5' and h=? -- k='7'\n and i in ('8') and \"j\"=? and x'41'=k");
    EXPECT_EQ(mixed->values, (std::vector<std::string>{"3", "6", "9"}));
    for (const char* kept :
         {"select * from t where a=(select b from u where c='1')",  // a subquery
          "select a from t where b='1' union select a from u where b='2'", "update t set a='1'",
          "select a from t where b=? and c='1'", "select a from t where b=:v and c='1'",
          "select a from t where b<>'1'", "select 'x' from t", "select a from t where b='open",
          "pragma table_info('t')", "with w as (select 1) select * from t where a='1'"}) {
        EXPECT_FALSE(selectWithEqualValuesAsPlaces(kept)) << kept;
    }
}

}  // namespace
}  // namespace qpane
