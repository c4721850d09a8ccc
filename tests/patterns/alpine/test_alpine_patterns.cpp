// The alpine pattern library on its own: a pattern fed queued lines against a store of its
// own and two simulated ports, with no window. What it leaves is what a peer sees: the board
// bytes and their pace, the output log, the stored times.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>

#include "board/board_lines.h"
#include "board_ports.h"
#include "patterns/alpine/alpine_context.h"
#include "platform/message_boxes.h"
#include "store/database.h"
#include "store/query.h"
#include "store/tableupdate.h"
#include "upgraded_store.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

fs::path copyOfStore() {
    static std::atomic<int> counter{0};
    const fs::path dir = fs::temp_directory_path() / ("qpane-alpine-" + std::to_string(::getpid()) +
                                                      "-" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::copy(upgradedStoreFolder(), dir, fs::copy_options::recursive);
    return dir;
}

// The fields that the window would hold, as plain values.
struct Fields {
    bool bufferBusy = false, totalDone = false;
    int32_t topTime = 0, nowTime = 0, diffTime = 0;
    std::string workLine, bibNo, timeText, rankText, rowBib, rowTime, rankGrp, logLineA, logLineB,
        logLineC, rowABib, blockNo, grpNo, firstCode;
    int rowNo = 0;
    BoardRows boardRows;
};

// Block 1: group 1 holds bibs 001 to 020. The board port is separate unless a test shares it.
class AlpinePatterns : public ::testing::Test, public BoardPorts {
  protected:
    AlpinePatterns() {
        pinout = 1;
        db.run("update timedata set grp='1' where block='1' and bib between '001' and '020'");
    }
    ~AlpinePatterns() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    alpine::AlpineContext context() {
        Fields& v = fields;
        return {
            .queue = queue,
            .store = {.Qtemp = Qtemp, .Qedit = Qedit, .Qtimedp = Qtimedp},
            .fields = {v.bufferBusy, v.totalDone, v.topTime,  v.nowTime, v.diffTime, v.workLine,
                       v.bibNo,      v.timeText,  v.rankText, v.rowBib,  v.rowTime,  v.rankGrp,
                       v.logLineA,   v.logLineB,  v.logLineC, v.rowABib, v.blockNo,  v.grpNo,
                       v.firstCode,  v.rowNo,     v.boardRows},
            .board = output,
            .settings = settings,
            .window = {.enableProcessingCycle = [this](bool on) { cycle.push_back(on); },
                       .setEdit1Text = [this](std::string t) { edit1 = std::move(t); },
                       .setEdit3Text = [this](std::string t) { edit3 = std::move(t); }},
        };
    }
    void pass(void (*pattern)(alpine::AlpineContext&), const Lines& lines) {
        for (const std::string& line : lines)
            queue.addLine(line);
        alpine::AlpineContext c = context();
        pattern(c);
    }
    std::string stored(const std::string& column, const std::string& bib) {
        std::vector<Database::Row> rows;
        db.run("select " + column + " from timedata where block='1' and bib='" + bib + "'", nullptr,
               &rows);
        return rows.empty() || !rows[0][0] ? "" : *rows[0][0];
    }

    fs::path folder = copyOfStore();
    Database db{folder};
    TQuery Qtemp{db, "Qtemp"}, Qedit{db, "Qedit"}, Qtimedp{db, "Qtimedp"};
    LineList queue;
    Fields fields;
    alpine::AlpineSettings settings;
    std::vector<bool> cycle;
    std::string edit1, edit3;
};

// A row as the alpine patterns build it: letter, bib, five spaces, the alpine time field.
std::string row(char letter, const std::string& bib, const std::string& timeField) {
    return std::string(1, letter) + bib + "     " + timeField + "\r";
}
const std::string k12345 = "    1:23.45       : .";  // 00:01:23.45
const std::string k12000 = "    1:20.00       : .";  // 00:01:20.00
const std::string kFirst = kFirstResultCommand;

TEST_F(AlpinePatterns, Alpine1FirstFinisherOnTheSeparatePort) {
    pass(alpine::syoriA1, {"C1101200:01:23.45"});

    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
    const std::string rowA = row('A', "012", k12345);
    const std::string rowC = row('C', "012", k12345);
    // The first result of the group is announced; then only the rows that show something
    // go, 50 ms apart.
    EXPECT_EQ(sends(),
              (Lines{"0 COM2 " + kFirst, "0 COM2 " + kFirst, "0 COM2 " + rowA, "50 COM2 " + rowC}));
    EXPECT_EQ(elapsed(), 100);
    // Every row of the loop is logged (rows K and M were never written), then the pass
    // lines and the end of the entry.
    const std::string blankB = "B" + std::string(19, ' ') + "\r";
    Lines log = {rowA, blankB, rowC};
    for (char r = 'D'; r <= 'J'; ++r)
        log.push_back(r + std::string(29, ' ') + "\r");
    log.insert(log.end(), {"", "", rowA, blankB, rowC, ""});
    EXPECT_EQ(logLines(), log);
    EXPECT_EQ(fields.rowNo, 14);
    EXPECT_TRUE(queue.count() == 0);
}

TEST_F(AlpinePatterns, Alpine1OnTheSharedPortSendsEveryRowButTheCommandStaysOnCommX2) {
    pinout = 0;
    pass(alpine::syoriA1, {"C1101200:01:20.00"});
    const Lines s = sends();
    ASSERT_EQ(s.size(), 2u + 10u);  // rows A to J; K and M are empty and send nothing
    EXPECT_EQ(s[0], "0 COM2 " + kFirst);
    EXPECT_EQ(s[2], "0 COM1 " + row('A', "012", k12000));
    EXPECT_EQ(s[11], "450 COM1 J" + std::string(29, ' ') + "\r");
    EXPECT_EQ(elapsed(), 12 * 50);
    // Nothing of the rows is logged: only the pass lines and the end of the entry.
    EXPECT_EQ(logLines().size(), 4u);
}

TEST_F(AlpinePatterns, Alpine3RanksTheSecondFinisherAndShowsTheCountStatement) {
    pass(alpine::syoriA3, {"C1101400:01:20.00"});
    output.endLogEntry();
    const size_t before = sends().size();
    pass(alpine::syoriA3, {"C1101200:01:23.45"});

    EXPECT_EQ(fields.boardRows[0], "A012         P L . 2\r");
    EXPECT_EQ(fields.boardRows[2], row('C', "014", k12000));
    EXPECT_EQ(fields.boardRows[3], row('D', "012", k12345));
    const Lines all = sends();
    const Lines s(all.begin() + static_cast<long>(before), all.end());
    ASSERT_EQ(s.size(), 4u);  // rows A to D; the blank rows E to J stay off the separate port
    EXPECT_NE(s[0].find(" COM2 A012"), std::string::npos);
    // The hidden edit shows the grid statement, each line with CR LF.
    EXPECT_EQ(edit3,
              "select bib,time1 from timedata where time1<>''\r\n"
              "and block='1' and grp='1' order by time1\r\n");
    EXPECT_EQ(logLines().back(), "");
    EXPECT_EQ(logLines()[logLines().size() - 2], row('D', "012", k12345) + "/2");
}

TEST_F(AlpinePatterns, Alpine4DifferenceToTheLeaderInRowC) {
    pass(alpine::syoriA4, {"C1101400:01:20.00", "C1101200:01:23.45"});
    EXPECT_EQ(fields.topTime, 8000);
    EXPECT_EQ(fields.diffTime, 345);
    EXPECT_EQ(fields.boardRows[2], "CDIF            3.45         .\r");
    EXPECT_EQ(fields.boardRows[0], "A012             . 2\r");
    EXPECT_EQ(fields.logLineC, fields.boardRows[2]);
}

TEST_F(AlpinePatterns, Alpine2HoldsTheProcessingCycleForItsPass) {
    fields.bufferBusy = false;
    pass(alpine::syoriA2, {"C1101400:01:20.00", "C1101200:01:23.45"});
    EXPECT_EQ(cycle, (std::vector<bool>{false, true}));
    EXPECT_FALSE(fields.bufferBusy);
    // After each line the separate board gets the ranking, the leader in row A.
    const Lines s = sends();
    ASSERT_EQ(s.size(), 2u + 10u + 10u);
    EXPECT_EQ(s[12], "500 COM2 " + row('A', "014", k12000));
    EXPECT_EQ(s[13], "550 COM2 " + row('B', "012", k12345));
}

TEST_F(AlpinePatterns, BufferedModeReadsTheLineAfterItsTwoLeadingBytes) {
    settings.connection = ConnectionMode::Buffered;
    pass(alpine::syoriA5, {"\r\x02"
                           "C1101200:01:23.45"});
    EXPECT_EQ(fields.workLine, "C1101200:01:23.45\r");
    EXPECT_EQ(stored("time1", "012"), "00:01:23.45");
}

TEST_F(AlpinePatterns, StoreThatRefusesTheUpdateKeepsTheLineAndSendsNothing) {
    db.run(
        "create trigger refuse before update on timedata begin "
        "select raise(abort, 'disk I/O error'); end");
    EXPECT_THROW(pass(alpine::syoriA5, {"C1101200:01:23.45"}), EDatabaseError);
    EXPECT_EQ(queue.count(), 1u);
    EXPECT_TRUE(sends().empty());
    EXPECT_EQ(stored("time1", "012"), "");
}

}  // namespace
}  // namespace qpane::testing
