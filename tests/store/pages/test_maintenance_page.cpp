// The maintenance page against a real store: what the replay transcript cannot show (focus,
// the grid's cursor, refused writes, quotes).
#include "window_fixture.h"

namespace qpane::testing {
namespace {

using MaintenancePageTest = WindowTest;

// Rows of the page-shown list are ordered by block, then bib: blocks of 999 bibs each.
int allBlocksRow(int block, int bib) {
    return block * 999 + bib - 1;
}

TEST_F(MaintenancePageTest, EnterWalksFromGridToBothTimesToSetButton) {
    exec("update timedata set time1='00:01:02.03' where bib='004' and block='0'");
    act([&] { w().showPage(w().TabSheet4); });
    w().Qmente.setRecNo(allBlocksRow(0, 4));

    act([&] { w().DBGrid2.OnKeyDown("Tab"); });
    EXPECT_EQ(w().Edit2.Text(), "") << "only Enter takes the row";
    act([&] { w().DBGrid2.OnKeyDown("Enter"); });
    EXPECT_EQ(w().Edit2.Text(), "004");
    EXPECT_EQ(w().ME1.Text(), "00:01:02.03");
    EXPECT_EQ(w().ME2.Text(), "00:00:00.00");
    EXPECT_EQ(w().focusedControl(), "ME1");

    act([&] { w().ME1.OnKeyDown("Space"); });
    EXPECT_EQ(w().focusedControl(), "ME1");
    act([&] { w().ME1.OnKeyDown("Enter"); });
    EXPECT_EQ(w().focusedControl(), "ME2");
    act([&] { w().ME2.OnKeyDown("Tab"); });
    EXPECT_EQ(w().focusedControl(), "ME2");
    act([&] { w().ME2.OnKeyDown("Enter"); });
    EXPECT_EQ(w().focusedControl(), "CuteButton4");
    EXPECT_TRUE(boxes_.errors.empty());
}

TEST_F(MaintenancePageTest, SetPutsCursorOnBibAndFocusOnGrid) {
    act([&] { w().showPage(w().TabSheet4); });
    // Bib 007 of block 3 taken from the list of all blocks; SpE2 is 0.
    w().Qmente.setRecNo(allBlocksRow(3, 7));
    act(w().DBGrid2.OnClick);
    act([&] { w().ME1.typeText("00:00:30.00"); });
    act(w().CuteButton4.OnClick);

    EXPECT_EQ(w().Qmente.rowCount(), 9990);
    EXPECT_EQ(w().Qmente.recNo(), allBlocksRow(0, 7)) << "the first row with bib 007";
    EXPECT_EQ(w().Qmente.FieldByName("time1").AsString(), "00:00:30.00");
    EXPECT_EQ(w().focusedControl(), "DBGrid2");
    EXPECT_EQ(column("select block from timedata where time1<>''"), std::vector<std::string>{"0"});
}

TEST_F(MaintenancePageTest, SetKeepsTheFilterInForce) {
    act([&] { w().SpE2.SetText("2"); });
    act([&] { w().Edit4.SetText("5"); });
    act([&] { w().Edit5.SetText("20"); });
    act(w().CuteButton8.OnClick);
    ASSERT_EQ(w().Qmente.rowCount(), 16);
    w().Qmente.setRecNo(7);
    act(w().DBGrid2.OnClick);
    ASSERT_EQ(w().Edit2.Text(), "012");
    act([&] { w().ME2.typeText("00:00:42.00"); });
    act(w().CuteButton4.OnClick);

    EXPECT_EQ(w().Qmente.rowCount(), 16);
    EXPECT_EQ(w().Qmente.recNo(), 7);
    EXPECT_EQ(w().Qmente.FieldByName("totalt").AsString(), "00:00:42.00");
    EXPECT_TRUE(boxes_.errors.empty());
}

TEST_F(MaintenancePageTest, RefusedWriteIsReportedAndGridStillReopens) {
    act([&] { w().showPage(w().TabSheet4); });
    w().Qmente.setRecNo(allBlocksRow(0, 7));
    act(w().DBGrid2.OnClick);
    act([&] { w().ME1.typeText("00:01:00.00"); });
    refuseUpdates();
    w().Qmente.setRecNo(allBlocksRow(5, 1));
    act(w().CuteButton4.OnClick);

    ASSERT_EQ(boxes_.errors.size(), 1u);
    EXPECT_NE(boxes_.errors[0].find("refused"), std::string::npos);
    EXPECT_EQ(column("select time1 from timedata where bib='007' and block='0'"),
              std::vector<std::string>{"<null>"});
    EXPECT_EQ(w().Qmente.recNo(), allBlocksRow(0, 7));
    EXPECT_EQ(w().focusedControl(), "DBGrid2");
}

TEST_F(MaintenancePageTest, QuoteInBibFieldAddressesNoRow) {
    act([&] { w().showPage(w().TabSheet4); });
    act([&] { w().Edit2.SetText("007' or bib<>'"); });
    act([&] { w().ME1.typeText("00:01:00.00"); });
    act(w().CuteButton4.OnClick);

    EXPECT_TRUE(boxes_.errors.empty());
    EXPECT_EQ(column("select count(*) from timedata where time1 is not null"),
              std::vector<std::string>{"0"});
}

TEST_F(MaintenancePageTest, GridNeverFilledReadsAsEmptyGrid) {
    act([&] { w().Edit2.SetText("001"); });
    act([&] { w().ME1.typeText("00:00:12.00"); });
    act(w().DBGrid2.OnClick);

    EXPECT_TRUE(boxes_.errors.empty());
    EXPECT_EQ(w().Edit2.Text(), "");
    EXPECT_EQ(w().ME1.Text(), "00:00:00.00");
    EXPECT_EQ(w().ME2.Text(), "00:00:00.00");
}

TEST_F(MaintenancePageTest, StoredTimeOfAnotherWidthFitsTheMask) {
    // A right-aligned time keeps its count; thousandths lose the digit the field has no
    // place for.
    exec(
        "update timedata set time1='    1:23.45',time2='00:00:01.234' "
        "where bib='001' and block='0'");
    act([&] { w().showPage(w().TabSheet4); });
    act(w().DBGrid2.OnClick);
    EXPECT_EQ(w().ME1.Text().size(), 11u);
    EXPECT_EQ(w().ME2.Text(), "00:00:01.23");
    act(w().CuteButton4.OnClick);

    EXPECT_EQ(column("select totalt from timedata where bib='001' and block='0'"),
              std::vector<std::string>{"00:01:24.68"});
}

}  // namespace
}  // namespace qpane::testing
