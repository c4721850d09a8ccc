// The ranked lists read from a store that the console's own statements filled: the order, the
// ranks and the differences that the board's rankings give, and the rows the board leaves out.
#include <gmock/gmock.h>

#include <sqlite3.h>

#include "race_store.h"
#include "platform/paths.h"
#include "store/database.h"

namespace qpane::results::testing {
namespace {

using ::testing::ElementsAre;

class ResultListTest : public RaceStore {};

TEST_F(ResultListTest, AlpineRanksByTotalWithTiesSharingARankAndUntimedRowsLast) {
    console("1");
    sql("update timedata set grp='1' where block='2' and bib between '001' and '006'");
    // 003 and 001 tie on the total; 004 has run 1 only, 005 a correction that is no time,
    // 006 nothing at all; block 1 holds a faster total that must not count.
    sql("update timedata set time1='00:01:00.00',time2='00:01:01.50',totalt='00:02:01.50' "
        "where block='2' and bib='001'");
    sql("update timedata set time1='00:00:59.00',time2='00:01:00.00',totalt='00:01:59.00' "
        "where block='2' and bib='002'");
    sql("update timedata set time1='00:01:01.00',time2='00:01:00.50',totalt='00:02:01.50' "
        "where block='2' and bib='003'");
    sql("update timedata set time1='00:00:58.00' where block='2' and bib='004'");
    sql("update timedata set time1='00:01:10.00',totalt='DNF' where block='2' and bib='005'");
    sql("update timedata set grp='1',time1='00:00:50.00',totalt='00:01:40.00' "
        "where block='1' and bib='001'");

    const ResultList l = list(Discipline::Alpine, "2", "1");
    ASSERT_EQ(l.groups.size(), 1u);
    EXPECT_THAT(rankLines(l, 0),
                ElementsAre("1|002|59.00|1:00.00|1:59.00|", "2|001|1:00.00|1:01.50|2:01.50|+2.50",
                            "2|003|1:01.00|1:00.50|2:01.50|+2.50", "|004|58.00|||",
                            "|005|1:10.00||DNF|", "|006||||"));
}

TEST_F(ResultListTest, AlpineBeforeAnyTotalRanksByRunOne) {
    console("1");
    sql("update timedata set grp='3' where block='1' and bib between '010' and '012'");
    sql("update timedata set time1='00:01:05.10' where block='1' and bib='010'");
    sql("update timedata set time1='00:00:58.35' where block='1' and bib='012'");
    const ResultList l = list(Discipline::Alpine, "1", "3");
    EXPECT_THAT(rankLines(l, 0),
                ElementsAre("1|012|58.35|||", "2|010|1:05.10|||+6.75", "|011||||"));
}

TEST_F(ResultListTest, AllGroupsOfABlockRankEachGroupOnItsOwnWithNoGroupLast) {
    console("1");
    sql("update timedata set grp='10' where block='0' and bib='001'");
    sql("update timedata set grp='2' where block='0' and bib in ('002','003')");
    sql("update timedata set time1='00:01:00.00' where block='0' and bib in ('001','002')");
    sql("update timedata set time1='00:01:30.00' where block='0' and bib='003'");
    // Timed without a group: listed under no group; untimed without a group: not a competitor.
    sql("update timedata set time1='00:00:30.00' where block='0' and bib='050'");
    const ResultList l = list(Discipline::Alpine, "0", std::nullopt);
    ASSERT_EQ(l.groups.size(), 3u);
    EXPECT_EQ(l.groups[0].group, "2");
    EXPECT_THAT(rankLines(l, 0), ElementsAre("1|002|1:00.00|||", "2|003|1:30.00|||+30.00"));
    EXPECT_EQ(l.groups[1].group, "10");
    EXPECT_THAT(rankLines(l, 1), ElementsAre("1|001|1:00.00|||"));
    EXPECT_EQ(l.groups[2].group, "0");
    EXPECT_THAT(rankLines(l, 2), ElementsAre("1|050|30.00|||"));
    EXPECT_EQ(l.rowCount(), 4u);
}

TEST_F(ResultListTest, RelayRanksByLapsThenTotalAndCountsLapsBehind) {
    console("15");
    sql("update timedata set grp='1' where block='3' and bib between '001' and '004'");
    sql("update timedata set lap='2',totalt='00:20:00.00',totaltv='120000' where block='3' and "
        "bib='001'");
    sql("update timedata set lap='3',totalt='00:25:00.00',totaltv='150000' where block='3' and "
        "bib='002'");
    sql("update timedata set lap='3',totalt='00:24:10.20',totaltv='145020' where block='3' and "
        "bib='003'");
    const ResultList l = list(Discipline::Relay, "3", "1");
    EXPECT_THAT(rankLines(l, 0), ElementsAre("1|003|3|24:10.20|", "2|002|3|25:00.00|+49.80",
                                             "3|001|2|20:00.00|+1周", "|004|||"));
}

TEST_F(ResultListTest, BlocksAndGroupsWithoutCompetitorsAreRefusedByName) {
    console("1");
    try {
        list(Discipline::Alpine, "4", std::nullopt);
        FAIL() << "an empty block gave a list";
    } catch (const NoResults& e) {
        EXPECT_STREQ(e.what(), "ブロック 4 に結果がありません");
    }
    EXPECT_THROW(list(Discipline::Alpine, "1", "7"), NoResults);
    // Values go into the statement as parameters: a quote is a block that is not there.
    EXPECT_THROW(list(Discipline::Alpine, "1' or '1'='1", std::nullopt), NoResults);
    EXPECT_THROW(list(Discipline::Alpine, "", std::nullopt), NoResults);
}

TEST_F(ResultListTest, StoreThatIsMissingOrNotTheConsolesIsRefused) {
    EXPECT_THROW(ReadOnlyStore{dataFolder()}, std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dataFolder())) << "a reader made the folder";
    std::filesystem::create_directories(dataFolder());
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(pathText(Database::fileIn(dataFolder())).c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "create table other (x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    try {
        ReadOnlyStore store(dataFolder());
        FAIL() << "another program's database opened";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("timedata"));
    }
}

TEST(ShownTime, LeadingZeroFieldsAreLeftOutAndOtherTextKept) {
    EXPECT_EQ(shownTime("00:01:23.45"), "1:23.45");
    EXPECT_EQ(shownTime("00:00:09.50"), "9.50");
    EXPECT_EQ(shownTime("00:00:00.50"), "0.50");
    EXPECT_EQ(shownTime("01:02:03.456"), "1:02:03.456");
    EXPECT_EQ(shownTime("00:12:00.00"), "12:00.00");
    EXPECT_EQ(shownTime("失格"), "失格");
    EXPECT_EQ(shownTime(""), "");
}

}  // namespace
}  // namespace qpane::results::testing
