// The whole window on a store whose disk fails in the middle of a race: the operator is told
// once, in Japanese, that the result waits first in the queue; the race goes on; once the disk
// has room again every result is stored, and nothing that had been stored is lost.
#include <gtest/gtest.h>

#include "failing_vfs.h"
#include "window_harness.h"

namespace qpane::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kQueueWords = "入力待ちの先頭に残っています";

class StoreFaultsInARace : public ::testing::Test {
  protected:
    // A started window with the timing port on COM1 and the board on COM2, pattern `disppt`.
    void startRace(const char* disppt) {
        harness_ = std::make_unique<WindowHarness>(
            std::initializer_list<WindowHarness::Setting>{
                {"Portno", "1"}, {"Pinout", "1"}, {"Portno2", "2"}, {"Disppt", disppt}},
            true, vfs_.name());
        h().start();
        h().sql("update timedata set grp='1' where block='1' and bib between '001' and '040'");
        h().apply();
        h().wait(1000);
    }
    WindowHarness& h() { return *harness_; }
    // A run-1 time of block 1 arriving from the timing device; the processing cycle runs.
    void runOne(const std::string& bib, const std::string& time) {
        h().rx(1,
               "\x02"
               "C11" +
                   bib + time + "\x03");
        h().wait(600);
    }
    std::vector<std::string> run1Times() {
        return h().sql(
            "select bib || ' ' || time1 from timedata where block='1' and time1<>'' "
            "order by bib");
    }
    std::vector<std::string> queue() {
        std::vector<std::string> lines;
        for (size_t i = 0; i < h().w().Memo2.count(); ++i)
            lines.push_back(h().w().Memo2.line(i));
        return lines;
    }
    // What a connection of its own finds in the store: what was committed.
    std::vector<std::string> committed(const std::string& sql) {
        Database store(Paths(h().root()).dataFolder());
        std::vector<Database::Row> rows;
        store.run(sql, nullptr, &rows);
        std::vector<std::string> out;
        for (const auto& row : rows)
            out.push_back(row.at(0).value_or("<null>"));
        return out;
    }

    FailingVfs vfs_;
    std::unique_ptr<WindowHarness> harness_;
};

TEST_F(StoreFaultsInARace, DiskThatFillsKeepsTheLinesQueuedAndStoresThemOnceItHasRoom) {
    startRace("1");
    runOne("012", "00:01:23.45");
    ASSERT_EQ(run1Times(), (std::vector<std::string>{"012 00:01:23.45"}));
    ASSERT_TRUE(h().boxes().errors.empty());

    vfs_.failWrites();
    runOne("013", "00:01:22.07");
    ASSERT_EQ(h().boxes().errors.size(), 1u);
    const std::string told = h().boxes().errors[0];
    EXPECT_NE(told.find("ディスクがいっぱい"), std::string::npos) << told;
    EXPECT_NE(told.find(kQueueWords), std::string::npos) << told;
    EXPECT_NE(told.find("\ndatabase or disk is full"), std::string::npos) << told;
    EXPECT_EQ(queue(), (std::vector<std::string>{"C1101300:01:22.07"}));

    // The next line waits behind it, and the operator, told already, gets no second box.
    runOne("014", "00:01:24.00");
    EXPECT_EQ(h().boxes().errors.size(), 1u);
    EXPECT_EQ(queue(), (std::vector<std::string>{"C1101300:01:22.07", "C1101400:01:24.00"}));
    EXPECT_EQ(run1Times(), (std::vector<std::string>{"012 00:01:23.45"}));

    vfs_.heal();
    runOne("015", "00:01:25.00");
    EXPECT_TRUE(queue().empty());
    EXPECT_EQ(run1Times(), (std::vector<std::string>{"012 00:01:23.45", "013 00:01:22.07",
                                                     "014 00:01:24.00", "015 00:01:25.00"}));
    // The board shows the last pass.
    EXPECT_NE(h().hub().written(2).find("A015         1:25.00"), std::string::npos);

    // A new failure once the store had worked again is told again.
    vfs_.failWrites();
    runOne("016", "00:01:26.00");
    EXPECT_EQ(h().boxes().errors.size(), 2u);
    vfs_.heal();
    runOne("017", "00:01:27.00");
    EXPECT_TRUE(queue().empty());

    EXPECT_EQ(committed("select bib from timedata where block='1' and time1<>'' "
                        "order by bib"),
              (std::vector<std::string>{"012", "013", "014", "015", "016", "017"}));
}

TEST_F(StoreFaultsInARace, SyncThatFailsOnCommitKeepsTheLineAndStoresItOnce) {
    startRace("11");
    h().rx(1,
           "\x02"
           "C1101200:01:25.00\x03");
    h().wait(600);
    vfs_.failSyncs();
    h().rx(1,
           "\x02"
           "C1101300:01:26.00\x03");
    h().wait(600);
    ASSERT_EQ(h().boxes().errors.size(), 1u);
    EXPECT_NE(h().boxes().errors[0].find(kQueueWords), std::string::npos) << h().boxes().errors[0];
    EXPECT_EQ(queue(), (std::vector<std::string>{"C1101300:01:26.00"}));

    vfs_.heal();
    h().rx(1,
           "\x02"
           "C1101400:01:27.00\x03");
    h().wait(6000);
    EXPECT_TRUE(queue().empty());
    EXPECT_EQ(h().boxes().errors.size(), 1u);
    // One pass row each, all of them shown on the board in the end.
    EXPECT_EQ(committed("select substr(tm1, 1, 4) || ' ' || sumi from crosst "
                        "order by uc"),
              (std::vector<std::string>{"1012 1", "1013 1", "1014 1"}));
}

TEST_F(StoreFaultsInARace, DiskThatFillsWhenThePassDisplayMarksARowLetsTheDisplayGoOn) {
    startRace("11");
    // A pass row stored while the disk had room; it fills before the display marks it shown.
    h().sql(
        "insert into crosst values ('1', '1012         1:25.00        : .      : : .', "
        "'', '', '', '', '', '', '', '', '', '0')");
    vfs_.failWrites();
    h().wait(5000);
    // Told once, not at every tick; the row is shown again and again, as it is not marked.
    EXPECT_EQ(h().boxes().errors.size(), 1u);
    const size_t shown = h().hub().writes(2).size();
    EXPECT_GT(shown, 0u);
    vfs_.heal();
    h().rx(1,
           "\x02"
           "C1101300:01:26.00\x03");
    h().wait(6000);
    EXPECT_TRUE(queue().empty());
    EXPECT_EQ(h().boxes().errors.size(), 1u);
    EXPECT_EQ(h().sql("select substr(tm1, 1, 4) || ' ' || sumi from crosst order by uc"),
              (std::vector<std::string>{"1012 1", "1013 1"}));
}

TEST_F(StoreFaultsInARace, StoreThatCannotBeWrittenStopsTheWindowBeforeStartUp) {
    vfs_.openStoreReadOnly();
    try {
        WindowHarness harness({}, true, vfs_.name());
        ADD_FAILURE() << "the window was made";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("読み取り専用"), std::string::npos) << e.what();
    }
    vfs_.heal();
    vfs_.failOpens();
    EXPECT_THROW(WindowHarness({}, true, vfs_.name()), EDatabaseError);
}

}  // namespace
}  // namespace qpane::testing
