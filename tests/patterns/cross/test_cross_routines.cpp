// The cross-country routines of the library: what each stores for a pass (timedata and the
// pass row of crosst), what it logs and sends, and the lines it drops.
#include "board/board_lines.h"
#include "cross_patterns.h"
#include "input/time_values.h"

namespace qpane::testing {
namespace {

// The cross-country time fields at hundredths of 00:01:23.45 and 00:01:20.00.
const std::string k12345 = "    1:23.45       : .     : : .";
const std::string k12000 = "    1:20.00       : .     : : .";
// The stored pass lines of bibs 012 and 014 with those times.
const std::string kPass012 = "1012     " + k12345;
const std::string kPass014 = "1014     " + k12000;

class CrossRoutines : public CrossPatterns {
  protected:
    // The pass rows of crosst: uc, tm1, tm2 (an empty one has no value), sumi, oldest first.
    std::string fieldOf(std::string_view time) {
        return dptime(time, settings.form, settings.precision);
    }
    // What another connection finds committed in the store.
    std::string committedCount(const std::string& sql) {
        Database other(folder);
        std::vector<Database::Row> rows;
        other.run(sql, nullptr, &rows);
        return rows.at(0).at(0).value_or("<null>");
    }
    Lines passRows() {
        return column(
            "select uc || '|' || tm1 || '|' || ifnull(tm2, '') || '|' || sumi from crosst "
            "order by cast(uc as integer)");
    }
};

TEST_F(CrossRoutines, Cross1StoresTheTimeAsRunAndTotalQueuesThePassRowAndLogsIt) {
    pass(cross::syoriC1, {"C1101400:01:20.00", "C1101200:01:23.45"});

    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
    EXPECT_EQ(stored("totalt", "012"), "00:01:23.45");
    EXPECT_EQ(stored("time1", "014"), "00:01:20.00");
    // Each pass row carries the pass before it: the display scrolls them.
    EXPECT_EQ(passRows(),
              (Lines{"2|" + kPass014 + "||0", "3|" + kPass012 + "|" + kPass014 + "|0"}));
    EXPECT_EQ(logLines(), (Lines{kPass014 + "*", kPass012 + "*"}));
    // The display draws the board: the routine sends nothing and takes no time.
    EXPECT_TRUE(sends().empty());
    EXPECT_EQ(elapsed(), 0);
    EXPECT_EQ(queue.count(), 0u);
    // The grid of the data check page shows the group of the last pass.
    EXPECT_EQ(fields.shownBlock, "1");
    EXPECT_EQ(fields.shownGrp, "1");
    EXPECT_EQ(Qtimedp.RecordCount(), 2);
    EXPECT_EQ(fields.boardRows[0], blankBoardRow(kRowA));
}

TEST_F(CrossRoutines, Cross1DropsLinesOfOtherCodesAndLinesCutOffBeforeTheirTime) {
    pass(cross::syoriC1, {"C2101200:01:23.45", "CT101200:01:23.45", "C1101200:", "C1"});
    EXPECT_EQ(stored("time1", "012"), "");
    EXPECT_TRUE(passRows().empty());
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(queue.count(), 0u);
}

TEST_F(CrossRoutines, Cross2SendsTheGroupLeaderOncePerCallAndLogsEveryLine) {
    choose(PatternNumber::Cross2, Precision::Hundredths);
    pass(cross::syoriC2, {"C1101400:01:20.00", "C2101200:01:23.45", "C1101200:01:23.45"});

    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
    EXPECT_EQ(stored("totalt", "012"), "");  // CROSS-2 keeps no total
    const std::string leader = "C014     " + k12000 + "\r";
    EXPECT_EQ(fields.topLine, leader);
    EXPECT_EQ(sends(), (Lines{"0 COM2 " + leader}));
    // A pass is logged as its stored line, twice (the second marked); a line that is not a
    // pass as it came.
    EXPECT_EQ(logLines(),
              (Lines{kPass014, kPass014 + "*", "C2101200:01:23.45\r", kPass012, kPass012 + "*"}));
    EXPECT_EQ(passRows().size(), 2u);

    // A later call without a pass sends the last leader again.
    pass(cross::syoriC2, {"C2101300:01:00.00"});
    EXPECT_EQ(sendsFrom(1), (Lines{"0 COM2 " + leader}));
}

TEST_F(CrossRoutines, Cross2GroupWithoutATimeHasABlankLeaderRow) {
    choose(PatternNumber::Cross2, Precision::Hundredths);
    // Bib 050 has no group: its group "0" holds no time, so no leader.
    db.run("update timedata set grp='' where block='1' and bib='050'");
    pass(cross::syoriC2, {"C1105000:01:23.45"});
    EXPECT_EQ(fields.topLine, blankBoardRow(kRowC));
    EXPECT_EQ(sends(), (Lines{"0 COM2 " + blankBoardRow(kRowC)}));
}

TEST_F(CrossRoutines, Cross3AndCross4StoreAndQueueButSendAndLogNothing) {
    choose(PatternNumber::Cross3, Precision::Hundredths);
    fields.boardRows[0] = "A kept";
    pass(cross::syoriC3, {"C1102100:01:20.00"});
    EXPECT_EQ(stored("time1", "021"), "00:01:20.00");
    EXPECT_EQ(fields.grpNo, "2");
    // CROSS-3 leaves the board rows as they are.
    EXPECT_EQ(fields.boardRows[0], "A kept");

    choose(PatternNumber::Cross4, Precision::Hundredths);
    pass(cross::syoriC4, {"C1101200:01:23.45"});
    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
    EXPECT_EQ(fields.grpNo, "1");
    // CROSS-4 resets them for every line.
    EXPECT_EQ(fields.boardRows[0], blankBoardRow(kRowA));

    EXPECT_EQ(passRows().size(), 2u);
    EXPECT_TRUE(sends().empty());
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(fields.shownGrp, "1");
}

TEST_F(CrossRoutines, StoreThatRefusesTheUpdateKeepsTheLineQueued) {
    vfs.failWrites();
    EXPECT_THROW(pass(cross::syoriC1, {"C1101200:01:23.45"}), EDatabaseError);
    vfs.heal();
    EXPECT_EQ(queue.count(), 1u);
    EXPECT_EQ(stored("time1", "012"), "");
    EXPECT_TRUE(passRows().empty());
    EXPECT_TRUE(logLines().empty());

    // The next call takes it again.
    pass(cross::syoriC1, {});
    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
    EXPECT_EQ(queue.count(), 0u);
}

// A pass's time and its pass row reach the disk in one commit, before the display can show the
// row; a commit whose sync fails keeps neither, and the line waits to be stored once.
TEST_F(CrossRoutines, APassIsStoredWithOneSyncAndAFailedSyncKeepsNothingOfIt) {
    const int before = vfs.syncs();
    pass(cross::syoriC1, {"C1101400:01:20.00", "C1101200:01:23.45"});
    EXPECT_EQ(vfs.syncs() - before, 2);
    EXPECT_EQ(committedCount("select count(*) from crosst where tm1<>''"), "2");

    vfs.failSyncs();
    EXPECT_THROW(pass(cross::syoriC1, {"C1101500:01:30.00"}), EDatabaseError);
    vfs.heal();
    EXPECT_EQ(queue.count(), 1u);
    EXPECT_EQ(stored("time1", "015"), "");
    EXPECT_EQ(passRows().size(), 2u);

    pass(cross::syoriC1, {});
    EXPECT_EQ(queue.count(), 0u);
    EXPECT_EQ(stored("time1", "015"), "00:01:30.00");
    EXPECT_EQ(committedCount("select count(*) from crosst where tm1 like '1015%'"), "1");
}

class RelayRoutine : public CrossRoutines {
  protected:
    RelayRoutine() { choose(PatternNumber::Relay, Precision::Hundredths); }
};

TEST_F(RelayRoutine, ALapLineSetsTheLapAndATotalLineStoresTheTotalWithIt) {
    pass(cross::syoriR, {"C1101200:10:00.00B", "CT101200:20:00.00"});

    EXPECT_EQ(fields.lapNo, "2");
    EXPECT_EQ(stored("totalt", "012"), "00:20:00.00");
    EXPECT_EQ(stored("totaltv", "012"), "120000");
    EXPECT_EQ(stored("lap", "012"), "2");
    EXPECT_EQ(stored("time1", "012"), "");
    EXPECT_EQ(passRows().size(), 1u);
    // Row C after each line: no total in the group yet, then bib 012 leads.
    const std::string leader = "C012     " + fieldOf("00:20:00.00") + "\r";
    EXPECT_EQ(sends(), (Lines{"0 COM2 " + blankBoardRow(kRowC), "0 COM2 " + leader}));
    EXPECT_EQ(logLines(), (Lines{blankBoardRow(kRowC), leader}));
    EXPECT_EQ(fields.topTime, 120000);
}

TEST_F(RelayRoutine, ARowCThatDidNotChangeWithinTheCallIsLoggedButNotSentAgain) {
    pass(cross::syoriR, {"C1101200:10:00.00A", "CT101200:10:00.00", "C1101300:10:05.00A"});
    const std::string leader = "C012     " + fieldOf("00:10:00.00") + "\r";
    EXPECT_EQ(sends(), (Lines{"0 COM2 " + blankBoardRow(kRowC), "0 COM2 " + leader}));
    EXPECT_EQ(logLines(), (Lines{blankBoardRow(kRowC), leader, leader}));
}

TEST_F(RelayRoutine, APassBeforeAnyLapLineIsStoredAsLap0AndAnUnknownLetterIsLap0) {
    pass(cross::syoriR, {"CT101200:20:00.00"});
    EXPECT_EQ(stored("lap", "012"), "0");
    pass(cross::syoriR, {"C1101400:10:00.00Z", "CT101400:21:00.00"});
    EXPECT_EQ(fields.lapNo, "0");
    EXPECT_EQ(stored("lap", "014"), "0");
    EXPECT_EQ(stored("totalt", "014"), "00:21:00.00");
}

}  // namespace
}  // namespace qpane::testing
