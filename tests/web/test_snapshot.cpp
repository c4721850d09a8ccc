// The snapshots of the live page: the board rows as they went out, the rankings and newest
// passes read from the store, and the JSON a page reads of them.
#include <gtest/gtest.h>

#include <thread>

#include "race_store.h"
#include "web/listen_address.h"
#include "web/snapshot_box.h"
#include "web/snapshot_builder.h"
#include "web/snapshot_json.h"

namespace qpane::web {
namespace {

using testing::RaceStore;

TEST(BoardMirrorRows, RowLinesReplaceTheirRowAndControlLinesChangeNone) {
    SnapshotBuilder b;
    EXPECT_TRUE(b.boardSent("A021         1:37.14       : .\r", 100));
    EXPECT_TRUE(b.boardSent("l012     12:34:56.78 90\r", 101));  // row L of the test lines
    EXPECT_TRUE(b.boardSent("V 22       :22:22.22 01\r", 102));
    EXPECT_FALSE(b.boardSent("L        99         9  \r", 103));  // first-result signal
    EXPECT_FALSE(b.boardSent("K    5\r", 104));                   // brightness
    EXPECT_FALSE(b.boardSent("        88:88:88.88 88\r", 105));   // unaddressed
    EXPECT_FALSE(b.boardSent("W?\r", 106));
    const SnapshotPtr s = b.build();
    EXPECT_EQ(s->board->rows[0].bytes, "A021         1:37.14       : .\r");
    EXPECT_EQ(s->board->rows[0].text, "A021         1:37.14       : .");
    EXPECT_EQ(s->board->rows[0].sentAtMs, 100);
    EXPECT_EQ(s->board->rows[11].letter, 'L');
    EXPECT_EQ(s->board->rows[11].bytes, "l012     12:34:56.78 90\r");
    EXPECT_EQ(s->board->rows[21].text, "V 22       :22:22.22 01");
    EXPECT_EQ(s->board->rows[10].bytes, "");  // row K: the brightness line is not a row
    EXPECT_EQ(s->board->rows[1].sentAtMs, 0);
}

TEST(BoardMirrorRows, TextIsDecodedFromShiftJisAndKeepsOtherBytesVisible) {
    EXPECT_EQ(displayText("A\x91\x67 1\r"), "A\xE7\xB5\x84 1");  // 組
    EXPECT_EQ(displayText("A\x91 \x02x\r"), "A?  x");            // not Shift-JIS, a control byte
}

TEST(Snapshots, ABoardRowSharesTheRankingsOfTheSnapshotBefore) {
    RaceStore store;
    SnapshotBuilder b;
    store.sql("update timedata set time1='00:01:24.63' where block='1' and bib='001'");
    EXPECT_TRUE(b.readStore(store.handle(), results::Discipline::Alpine));
    const SnapshotPtr first = b.build();
    b.boardSent("A001         1:24.63       : .\r", 1);
    EXPECT_FALSE(b.readStore(store.handle(), results::Discipline::Alpine));  // no store change
    const SnapshotPtr second = b.build();
    EXPECT_GT(second->sequence, first->sequence);
    EXPECT_EQ(second->rankings, first->rankings);
    EXPECT_EQ(second->rankingVersion, first->rankingVersion);
    EXPECT_NE(second->board, first->board);
    EXPECT_EQ(first->board->rows[0].bytes, "");  // a published snapshot never changes
}

// An alpine race in two groups of block 2, as ALPINE-1 stores it.
class AlpineRace : public ::testing::Test {
  protected:
    void SetUp() override {
        store.sql("update timedata set grp='1' where block='2' and bib between '021' and '025'");
        store.sql("update timedata set grp='2' where block='2' and bib between '026' and '030'");
        run1("021", "00:01:40.41");
        run1("022", "00:01:35.60");
        run1("023", "00:01:36.94");
        run1("026", "00:01:39.75");
        builder.readStore(store.handle(), results::Discipline::Alpine);
    }
    void run1(const char* bib, const char* time) {
        store.sql(std::string("update timedata set time1='") + time +
                  "' where block='2' and bib='" + bib + "'");
    }
    RaceStore store;
    SnapshotBuilder builder;
};

TEST_F(AlpineRace, RankingJsonListsTheGroupBestFirstWithDifferences) {
    const auto json = rankingJson(*builder.build(), "2", "1");
    ASSERT_TRUE(json);
    EXPECT_NE(json->find(R"("discipline":"alpine")"), std::string::npos);
    const std::string expected =
        R"("groups":[{"block":"2","group":"1","rows":[)"
        R"({"rank":"1","bib":"022","run1":"1:35.60","run2":"","total":"","laps":"","difference":""},)"
        R"({"rank":"2","bib":"023","run1":"1:36.94","run2":"","total":"","laps":"","difference":"+1.34"},)"
        R"({"rank":"3","bib":"021","run1":"1:40.41","run2":"","total":"","laps":"","difference":"+4.81"},)"
        R"({"rank":"","bib":"024","run1":"","run2":"","total":"","laps":"","difference":""},)"
        R"({"rank":"","bib":"025","run1":"","run2":"","total":"","laps":"","difference":""}]}])";
    EXPECT_NE(json->find(expected), std::string::npos) << *json;
}

TEST_F(AlpineRace, EveryBlockAndGroupIsListedAndUnknownOnesHaveNone) {
    const SnapshotPtr s = builder.build();
    const std::string all = *rankingJson(*s, std::nullopt, std::nullopt);
    EXPECT_NE(all.find(R"({"block":"2","group":"1")"), std::string::npos);
    EXPECT_NE(all.find(R"({"block":"2","group":"2")"), std::string::npos);
    EXPECT_EQ(all.find(R"("block":"1")"), std::string::npos);
    EXPECT_TRUE(rankingJson(*s, "2", std::nullopt));
    EXPECT_FALSE(rankingJson(*s, "2", "7"));
    EXPECT_FALSE(rankingJson(*s, "5", std::nullopt));
}

TEST_F(AlpineRace, NewTimesBecomeTheNewestPassesAndTheRankingVersionMoves) {
    const uint64_t before = builder.build()->rankingVersion;
    store.sql(
        "update timedata set time2='00:01:30.01', totalt='00:03:05.61' "
        "where block='2' and bib='022'");
    EXPECT_TRUE(builder.readStore(store.handle(), results::Discipline::Alpine));
    const SnapshotPtr s = builder.build();
    EXPECT_GT(s->rankingVersion, before);
    ASSERT_GE(s->passes->size(), 2u);
    EXPECT_EQ((*s->passes)[0].bib, "022");
    EXPECT_EQ((*s->passes)[0].what, "run2");
    EXPECT_EQ((*s->passes)[0].time, "1:30.01");
    EXPECT_EQ((*s->passes)[1].what, "total");
    EXPECT_EQ((*s->passes)[1].time, "3:05.61");
    const std::string event = eventJson(*s);
    EXPECT_NE(event.find(R"({"block":"2","group":"1","bib":"022","what":"run2","time":"1:30.01")"),
              std::string::npos);
    EXPECT_NE(event.find(R"("groups":[{"block":"2","group":"1"},{"block":"2","group":"2"}])"),
              std::string::npos);
}

TEST_F(AlpineRace, TheNewestPassesKeepTheirNumber) {
    for (int i = 0; i < 30; ++i) {
        store.sql("update timedata set time2='00:01:" + std::to_string(10 + i) +
                  ".00' where block='2' and bib='026'");
        builder.readStore(store.handle(), results::Discipline::Alpine);
    }
    const SnapshotPtr s = builder.build();
    ASSERT_EQ(s->passes->size(), SnapshotBuilder::kNewestPasses);
    EXPECT_EQ(s->passes->front().time, "1:39.00");
}

TEST_F(AlpineRace, BoardJsonGivesTheBytesAsSentAndTheirText) {
    builder.setTitle("第1回 \"大会\"");
    builder.boardSent("A022         1:35.60       : .\r", 1700000000123);
    const std::string json = boardJson(*builder.build());
    EXPECT_NE(json.find(R"("title":"第1回 \"大会\"")"), std::string::npos);
    EXPECT_NE(json.find(R"({"row":"A","bytes":"A022         1:35.60       : .\r",)"
                        R"("text":"A022         1:35.60       : .","sentAt":1700000000123})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"({"row":"V","bytes":"","text":"","sentAt":0}]})"), std::string::npos);
}

// A cross-country race: each pass stores the pass time as time1 and a pass line in crosst.
TEST(CrossRace, RankingJsonRanksByPassTimeAndCountsLaps) {
    RaceStore store;
    store.sql("update timedata set grp='1' where block='0' and bib between '001' and '020'");
    store.sql("insert into crosst (uc,tm1,sumi) values (1,'1005        27:43.55     : : .','1')");
    store.sql("insert into crosst (uc,tm1,sumi) values (2,'1012        27:31.07     : : .','1')");
    store.sql("insert into crosst (uc,tm1,sumi) values (3,'1005        29:18.48     : : .','1')");
    store.sql("update timedata set time1='00:29:18.48' where block='0' and bib='005'");
    store.sql("update timedata set time1='00:27:31.07' where block='0' and bib='012'");
    SnapshotBuilder b;
    b.readStore(store.handle(), results::Discipline::Cross);
    const SnapshotPtr s = b.build();
    const std::string json = *rankingJson(*s, "0", "1");
    EXPECT_NE(json.find(R"("discipline":"cross")"), std::string::npos);
    EXPECT_NE(json.find(R"({"rank":"1","bib":"012","run1":"","run2":"","total":"27:31.07",)"
                        R"("laps":"1","difference":""},{"rank":"2","bib":"005","run1":"",)"
                        R"("run2":"","total":"29:18.48","laps":"2","difference":"+1:47.41"})"),
              std::string::npos)
        << json;
    // The next pass of 012 is its newest pass.
    store.sql("insert into crosst (uc,tm1,sumi) values (4,'1012        30:02.00     : : .','0')");
    store.sql("update timedata set time1='00:30:02.00' where block='0' and bib='012'");
    EXPECT_TRUE(b.readStore(store.handle(), results::Discipline::Cross));
    const SnapshotPtr next = b.build();
    ASSERT_FALSE(next->passes->empty());
    EXPECT_EQ(next->passes->front().bib, "012");
    EXPECT_EQ(next->passes->front().what, "pass");
    EXPECT_EQ(next->passes->front().time, "30:02.00");
}

TEST(CrossRace, AChangeOfDisciplineRanksAgainWithoutNewPasses) {
    RaceStore store;
    store.sql("update timedata set time1='00:27:31.07' where block='0' and bib='012'");
    SnapshotBuilder b;
    b.readStore(store.handle(), results::Discipline::Alpine);
    const size_t passes = b.build()->passes->size();
    EXPECT_TRUE(b.readStore(store.handle(), results::Discipline::Cross));
    const SnapshotPtr s = b.build();
    EXPECT_EQ(s->rankings->discipline, results::Discipline::Cross);
    EXPECT_EQ(s->passes->size(), passes);
}

TEST(SnapshotBoxes, KeepTheNewestAndWakeWhoWaitsForIt) {
    SnapshotBox box;
    SnapshotBuilder b;
    const SnapshotPtr one = b.build();
    const SnapshotPtr two = b.build();
    box.publish(two);
    box.publish(one);  // older: ignored
    EXPECT_EQ(box.current(), two);
    // Nothing newer: the wait ends at its timeout with the one held.
    EXPECT_EQ(box.waitNewer(two->sequence, std::chrono::milliseconds(10), {}), two);
    const SnapshotPtr three = b.build();
    std::thread publisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        box.publish(three);
    });
    EXPECT_EQ(box.waitNewer(two->sequence, std::chrono::minutes(5), {}), three);
    publisher.join();
    // A cancelled wait ends at the next wake.
    std::atomic<bool> cancel{false};
    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel = true;
        box.wake();
    });
    EXPECT_EQ(
        box.waitNewer(three->sequence, std::chrono::minutes(5), [&] { return cancel.load(); }),
        three);
    waker.join();
}

TEST(ListenSetting, ReadsHostAndPort) {
    EXPECT_EQ(parseListen("127.0.0.1:8086").host, "127.0.0.1");
    EXPECT_EQ(parseListen("127.0.0.1:8086").port, 8086);
    EXPECT_EQ(parseListen("0.0.0.0:0").port, 0);
    EXPECT_EQ(parseListen("[::1]:80").host, "::1");
    EXPECT_EQ(parseListen("console-pc:8086").host, "console-pc");
}

TEST(ListenSetting, RefusesValuesThatCannotBeUsedAndNamesThem) {
    for (const char* bad :
         {"8086", "127.0.0.1", ":8086", "127.0.0.1:", "127.0.0.1:65536", "127.0.0.1:80a",
          "127.0.0.1:-1", "::1:80", "a b:80", "/x:80", "127.0.0.1:123456"}) {
        try {
            parseListen(bad);
            ADD_FAILURE() << bad << " was taken";
        } catch (const ListenError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("Listen=") + bad), std::string::npos)
                << e.what();
        }
    }
}

}  // namespace
}  // namespace qpane::web
