// The group panel against a real store: the group grid, its cursor, and which statements run.
#include "window_fixture.h"

namespace qpane::testing {
namespace {

using GroupPanelTest = WindowTest;

constexpr const char* kUntouched = "select 'untouched' as x";

TEST_F(GroupPanelTest, OpeningShowsBlock0WhateverSPEShows) {
    act([&] { w().SPE.SetText("4"); });
    act(w().Button3.OnClick);

    EXPECT_TRUE(w().Panel6.visible());
    EXPECT_EQ(w().SPE.Value(), 4);
    EXPECT_EQ(w().Qgroup.rowCount(), 999);
    EXPECT_EQ(w().Qgroup.FieldByName("block").AsString(), "0");
    EXPECT_EQ(w().Qgroup.FieldByName("bib").AsString(), "001");
}

TEST_F(GroupPanelTest, OpeningWithGroupAlreadyZeroRunsNoLookup) {
    act(w().Button3.OnClick);
    act(w().Button3.OnClick);
    ASSERT_FALSE(w().Panel6.visible());
    act([&] { w().SpEs.SetText("5"); });
    act([&] { w().SpEe.SetText("9"); });
    w().Qtemp.SQL().Clear();
    w().Qtemp.SQL().Add(kUntouched);

    act(w().Button3.OnClick);
    EXPECT_EQ(w().Qtemp.SQL().Text(), kUntouched);
    EXPECT_EQ(w().SpEs.Value(), 0);
    EXPECT_EQ(w().SpEe.Value(), 0);
}

TEST_F(GroupPanelTest, MaintenanceBlockFieldRefreshesGroupGridFromSPE) {
    act([&] { w().SPE.SetText("3"); });
    act([&] { w().showPage(w().TabSheet4); });
    w().Qgroup.Close();

    act([&] { w().SpE2.SetText("7"); });
    ASSERT_TRUE(w().Qgroup.Active());
    EXPECT_EQ(w().Qgroup.FieldByName("block").AsString(), "3");
    EXPECT_EQ(w().Qmente.rowCount(), 9990) << "the maintenance grid is not re-queried";
}

TEST_F(GroupPanelTest, AssignPutsGroupCursorOnFirstBibOfRange) {
    act(w().Button3.OnClick);
    act([&] { w().SPE.SetText("2"); });
    act([&] { w().SpEgr.SetText("5"); });
    act([&] { w().SpEs.SetText("10"); });
    act([&] { w().SpEe.SetText("20"); });
    act(w().CuteButton6.OnClick);

    EXPECT_TRUE(boxes_.errors.empty());
    EXPECT_EQ(w().Qgroup.FieldByName("bib").AsString(), "010");
    EXPECT_EQ(w().Qgroup.FieldByName("block").AsString(), "2");
    EXPECT_EQ(w().Qgroup.FieldByName("grp").AsString(), "5");
    EXPECT_EQ(w().workLine, "010");
    EXPECT_EQ(w().bibNo, "020");
}

// Each field that 実行 converts, holding a text that is not a whole number.
TEST_F(GroupPanelTest, TextThatIsNotANumberStopsAssignBeforeAnyStatement) {
    act(w().Button3.OnClick);
    for (SpinEdit* field : {&w().SpEs, &w().SpEe, &w().SpEgr, &w().SPE}) {
        SCOPED_TRACE(field->name());
        act([&] { w().SpEgr.SetText("5"); });
        // With SpEs at 0 the range rule leaves a bad text in SpEe as it is.
        act([&] { w().SpEs.SetText("0"); });
        act([&] { w().SpEe.SetText("20"); });
        act([&] { field->SetText("1O"); });
        w().Qtemp.SQL().Clear();
        w().Qtemp.SQL().Add(kUntouched);
        const size_t errorsBefore = boxes_.errors.size();

        act(w().CuteButton6.OnClick);
        ASSERT_EQ(boxes_.errors.size(), errorsBefore + 1);
        EXPECT_NE(boxes_.errors.back().find("'1O'"), std::string::npos) << boxes_.errors.back();
        EXPECT_EQ(w().Qtemp.SQL().Text(), kUntouched);
        act([&] { field->SetText("0"); });
    }
    EXPECT_EQ(column("select count(*) from timedata where grp<>'0'"),
              std::vector<std::string>{"0"});
}

TEST_F(GroupPanelTest, RefusedAssignIsReportedAndPanelKeepsItsState) {
    act(w().Button3.OnClick);
    act([&] { w().SpEgr.SetText("5"); });
    act([&] { w().SpEs.SetText("1"); });
    act([&] { w().SpEe.SetText("20"); });
    w().Qgroup.setRecNo(30);
    refuseUpdates();

    act(w().CuteButton6.OnClick);
    EXPECT_EQ(boxes_.errors.size(), 1u);
    EXPECT_EQ(w().Qgroup.recNo(), 30) << "the grid is not refreshed";
    EXPECT_EQ(w().SpEgr.Value(), 5);
    EXPECT_EQ(w().SpEs.Value(), 1);
    EXPECT_EQ(w().SpEe.Value(), 20);
}

}  // namespace
}  // namespace qpane::testing
