#include <gtest/gtest.h>

#include "platform/convert.h"
#include "store/query.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::StoreTest;

class QueryTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        exec("create table people (name varchar(10), score numeric, note varchar(10))");
        exec("insert into people values ('ann','3','x')");
        exec("insert into people values ('bob','','')");
        exec("insert into people values ('cy','12a','z')");
    }
    void set(TQuery& q, std::initializer_list<std::string> lines) {
        q.SQL().Clear();
        for (const auto& l : lines)
            q.SQL().Add(l);
    }
};

TEST_F(QueryTest, TextIsLinesJoinedForTheEngineAndCrlfForAnEdit) {
    TQuery q(db(), "Qedit");
    set(q, {"select name from people", "where score>='3'", "order by name"});
    EXPECT_EQ(q.SQL().Count(), 3);
    EXPECT_EQ(q.SQL().Text(), "select name from people\nwhere score>='3'\norder by name");
    EXPECT_EQ(q.SQL().TextCRLF(),
              "select name from people\r\nwhere score>='3'\r\norder by name\r\n");
    q.Open();  // the lines are read as one statement
    EXPECT_EQ(q.RecordCount(), 2);
    q.SQL().Clear();
    EXPECT_EQ(q.SQL().TextCRLF(), "");
}

TEST_F(QueryTest, OpeningAnOpenQueryKeepsRowsAndCursor) {
    TQuery q(db(), "Qtop", {"select name from people order by name"});
    q.Open();
    q.Next();
    exec("update people set name='zed' where name='bob'");
    exec("insert into people values ('dee','1','y')");
    q.Open();
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.RecordCount(), 3);
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(q.FieldByName("name").AsString(), "bob");
    // close then open runs it again, from the first record
    q.Close();
    q.Open();
    EXPECT_EQ(q.RecordCount(), 4);
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_EQ(q.FieldByName("name").AsString(), "ann");
}

TEST_F(QueryTest, ChangingTheTextClosesTheQuery) {
    TQuery q(db(), "Qedit", {"select * from people"});
    q.Open();
    q.SQL().Add("where name='ann'");
    EXPECT_FALSE(q.Active());
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
    q.SQL().Clear();
    EXPECT_FALSE(q.Active());
}

TEST_F(QueryTest, FieldsByNameWithoutRegardToCase) {
    TQuery q(db(), "Qedit", {"select name as Who, score from people where name='ann'"});
    q.Open();
    EXPECT_EQ(q.FieldByName("WHO").AsString(), "ann");
    EXPECT_EQ(q.FieldByName("who").AsString(), "ann");
    EXPECT_EQ(q.FieldByName("Score").AsInteger(), 3);
    EXPECT_FALSE(q.FieldByName("score").IsNull());
    EXPECT_THROW(q.FieldByName("nosuch"), EDatabaseError);
}

TEST_F(QueryTest, NoValueReadsAsEmptyTextAndZero) {
    TQuery q(db(), "Qedit", {"select * from people where name='bob'"});
    q.Open();
    EXPECT_TRUE(q.FieldByName("score").IsNull());
    EXPECT_EQ(q.FieldByName("score").AsString(), "");
    EXPECT_EQ(q.FieldByName("score").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("note").AsString(), "");
}

TEST_F(QueryTest, IntegerOfTextThatIsNoWholeNumberIsAConversionError) {
    TQuery q(db(), "Qedit", {"select * from people where name='cy'"});
    q.Open();
    EXPECT_EQ(q.FieldByName("score").AsString(), "12a");
    EXPECT_THROW(q.FieldByName("score").AsInteger(), EConvertError);
    EXPECT_THROW(q.FieldByName("name").AsInteger(), EConvertError);
}

TEST_F(QueryTest, EmptyResultReadsEmptyAndZeroAndIsAtEnd) {
    TQuery q(db(), "Qedit", {"select * from people where name='nobody'"});
    q.Open();
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.recNo(), -1);
    EXPECT_EQ(q.FieldByName("name").AsString(), "");
    EXPECT_EQ(q.FieldByName("score").AsInteger(), 0);
    EXPECT_THROW(q.FieldByName("nosuch"), EDatabaseError);
    q.Next();
    q.First();
    EXPECT_TRUE(q.Eof());
}

TEST_F(QueryTest, NextOnLastRecordSetsEofAndStays) {
    TQuery q(db(), "Qedit", {"select name from people order by name"});
    q.Open();
    std::vector<std::string> seen;
    while (!q.Eof()) {
        seen.push_back(q.FieldByName("name").AsString());
        q.Next();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"ann", "bob", "cy"}));
    EXPECT_EQ(q.FieldByName("name").AsString(), "cy");
    q.Next();
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.recNo(), 2);
    q.First();
    EXPECT_FALSE(q.Eof());
    EXPECT_EQ(q.FieldByName("name").AsString(), "ann");
}

TEST_F(QueryTest, LocateMovesToFirstMatchOrLeavesCursor) {
    exec("insert into people values ('bob','7','second')");
    TQuery q(db(), "Qmente", {"select * from people order by rowid"});
    q.Open();
    EXPECT_TRUE(q.Locate("NAME", "bob"));
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(q.FieldByName("score").AsString(), "");
    q.Next();
    q.Next();
    q.Next();
    ASSERT_TRUE(q.Eof());
    EXPECT_FALSE(q.Locate("name", "Bob"));  // exact: case matters in values
    EXPECT_FALSE(q.Locate("name", "bo"));
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.recNo(), 3);
    EXPECT_TRUE(q.Locate("note", ""));  // no value equals the empty text
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_FALSE(q.Eof());
    EXPECT_THROW(q.Locate("nosuch", "x"), EDatabaseError);
}

TEST_F(QueryTest, EmptyTextIsAnErrorForOpenAndExec) {
    TQuery q(db(), "Qedit");
    EXPECT_THROW(q.Open(), EDatabaseError);
    EXPECT_THROW(q.ExecSQL(), EDatabaseError);
    q.SQL().Add("  ");
    q.SQL().Add("");
    EXPECT_THROW(q.Open(), EDatabaseError);
    EXPECT_THROW(q.ExecSQL(), EDatabaseError);
    EXPECT_FALSE(q.Active());
}

TEST_F(QueryTest, OpeningAStatementWithoutRowsIsRefusedBeforeItRuns) {
    TQuery q(db(), "Qedit", {"delete from people"});
    EXPECT_THROW(q.Open(), EDatabaseError);
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(value("select count(*) from people"), "3");
    q.ExecSQL();
    EXPECT_EQ(value("select count(*) from people"), "0");
}

TEST_F(QueryTest, FailedOpenLeavesQueryClosedWithTheEnginesMessage) {
    TQuery q(db(), "Qedit", {"select * from nosuchtable"});
    try {
        q.Open();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("no such table: nosuchtable"), std::string::npos) << what;
        EXPECT_NE(what.find("select * from nosuchtable"), std::string::npos) << what;
    }
    EXPECT_FALSE(q.Active());
    EXPECT_TRUE(q.Eof());
}

TEST_F(QueryTest, ClosedQueryRefusesReadsButReportsEof) {
    TQuery q(db(), "Qtemp", {"select * from people"});
    EXPECT_TRUE(q.Eof());
    EXPECT_THROW(q.FieldByName("name"), EDatabaseError);
    EXPECT_THROW(q.RecordCount(), EDatabaseError);
    EXPECT_THROW(q.Next(), EDatabaseError);
    EXPECT_THROW(q.First(), EDatabaseError);
    EXPECT_THROW(q.Locate("name", "ann"), EDatabaseError);
}

TEST_F(QueryTest, GridViewShowsRowsColumnsAndNoValues) {
    TQuery q(db(), "Qtimedp", {"select name, score from people order by name"});
    int changes = 0;
    q.setObserver([&] { ++changes; });
    q.Open();
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(q.columnCount(), 2);
    EXPECT_EQ(q.columnName(0), "name");
    EXPECT_EQ(q.rowCount(), 3);
    EXPECT_EQ(q.cell(0, 1), "3");
    EXPECT_EQ(q.cell(1, 1), "");
    EXPECT_TRUE(q.cellIsNull(1, 1));
    EXPECT_FALSE(q.cellIsNull(0, 1));
    EXPECT_EQ(q.cell(7, 0), "");  // outside the result
    EXPECT_TRUE(q.cellIsNull(0, 9));
    q.setRecNo(2);
    EXPECT_EQ(q.FieldByName("name").AsString(), "cy");
    q.setRecNo(5);
    EXPECT_EQ(q.recNo(), 2);
    EXPECT_EQ(changes, 2);
    q.Next();  // at the end
    q.SQL().Clear();
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(q.rowCount(), 0);
    EXPECT_EQ(q.columnCount(), 0);
}

TEST(SqlValue, DoublesQuotesAndKeepsEverythingElse) {
    EXPECT_EQ(sqlValue("O'Neil"), "O''Neil");
    EXPECT_EQ(sqlValue("''"), "''''");
    EXPECT_EQ(sqlValue(""), "");
    EXPECT_EQ(sqlValue(std::string("a\0b\"c", 5)), std::string("a\0b\"c", 5));
}

}  // namespace
}  // namespace qpane
