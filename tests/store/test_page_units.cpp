// The group panel and the maintenance page on their own: their controls and queries against
// a store of their own, without the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "store/grid_control.h"
#include "store/group_panel.h"
#include "store/maintenance_page.h"
#include "store/query.h"
#include "store/tableupdate.h"
#include "store_fixture.h"

namespace qpane {
namespace {

using testing::RecordingBoxes;
using testing::StoreTest;
using Rows = std::vector<std::vector<std::string>>;

// An upgraded store, made once per test program: the upgrade takes a second.
class UpgradedStore {
  public:
    UpgradedStore()
        : folder_(std::filesystem::temp_directory_path() /
                  ("qpane-store-upgraded-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(folder_);
        Database db(folder_);
        TQuery Qedit(db, "Qedit");
        RecordingBoxes boxes;
        tableupdate(Qedit, boxes);
    }
    ~UpgradedStore() { std::filesystem::remove_all(folder_); }
    std::filesystem::path file() const { return Database::fileIn(folder_); }

  private:
    std::filesystem::path folder_;
};

// A store with blocks 0 to 9, as the window has it after start-up.
class PageUnitTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        static const UpgradedStore upgraded;
        std::filesystem::create_directories(folder_);
        std::filesystem::copy_file(upgraded.file(), Database::fileIn(folder_));
    }
    Controls controls;
};

class GroupPanelTest : public PageUnitTest {
  protected:
    void SetUp() override {
        PageUnitTest::SetUp();
        Qgroup = std::make_unique<TQuery>(db(), "Qgroup");
        Qtemp = std::make_unique<TQuery>(db(), "Qtemp");
        panel = std::make_unique<GroupPanel>(
            GroupPanel{Panel6, SPE, SpEgr, SpEs, SpEe, *Qgroup, *Qtemp});
        // The window runs these steps as the change handlers of the spin fields.
        SpEgr.OnChange = [this] { panel->loadGroup(); };
        SpEs.OnChange = [this] { panel->keepEndAfterBegin(); };
        SpEe.OnChange = [this] { panel->keepEndFromBegin(); };
        SPE.OnChange = [this] { panel->showBlock(); };
    }
    Rows groups(const std::string& block) {
        return rows("select bib,grp from timedata where block='" + block +
                    "' and grp<>'0' order by bib");
    }

    Panel Panel6{controls, "Panel6"};
    SpinEdit SPE{controls, "SPE", 0, 9, 0};
    SpinEdit SpEgr{controls, "SpEgr", 0, 999, 1};
    SpinEdit SpEs{controls, "SpEs", 0, 998, 1};
    SpinEdit SpEe{controls, "SpEe", 0, 999, 2};
    std::unique_ptr<TQuery> Qgroup, Qtemp;
    std::unique_ptr<GroupPanel> panel;
    std::string beginBib, endBib;
};

TEST_F(GroupPanelTest, AssignWritesTheGroupToTheRangeOfTheBlockAndMovesOn) {
    SPE.SetValue(2);
    SpEgr.SetValue(3);  // group 3 holds no bib: its range loads as 0 to 0
    EXPECT_EQ(SpEs.Value(), 0);
    SpEs.SetValue(5);  // beyond the last bib: the last one follows
    EXPECT_EQ(SpEe.Value(), 6);
    SpEe.SetValue(7);
    panel->assign(beginBib, endBib);

    EXPECT_EQ(groups("2"), (Rows{{"005", "3"}, {"006", "3"}, {"007", "3"}}));
    EXPECT_TRUE(groups("0").empty());
    EXPECT_EQ(beginBib, "005");
    EXPECT_EQ(endBib, "007");
    // The grid shows the block with its cursor on the first bib of the range.
    EXPECT_EQ(Qgroup->FieldByName("bib").AsString(), "005");
    EXPECT_EQ(Qgroup->FieldByName("block").AsString(), "2");
    // The next group: it holds no bib, so its lookup loads 0 to 0, and the range moves on
    // past that (the first bib beyond the last pushes the last one on).
    EXPECT_EQ(SpEgr.Value(), 4);
    EXPECT_EQ(SpEs.Value(), 1);
    EXPECT_EQ(SpEe.Value(), 3);
}

TEST_F(GroupPanelTest, ABadBibOrGroupWritesNothing) {
    SpEs.SetText("x");  // kept as typed: it reads as 0, which is not beyond the last bib
    EXPECT_ANY_THROW(panel->assign(beginBib, endBib));
    EXPECT_EQ(beginBib, "");

    SpEgr.SetText("g");  // reads as group 0: its lookup loads bibs 001 to 999
    EXPECT_ANY_THROW(panel->assign(beginBib, endBib));
    // The bibs were converted before the group was found bad.
    EXPECT_EQ(beginBib, "001");
    EXPECT_EQ(endBib, "999");
    EXPECT_EQ(value("select count(*) from timedata where grp<>'0'"), "0");
}

TEST_F(GroupPanelTest, ResetsClearTheBlockOrEveryBlock) {
    exec("update timedata set grp='4' where bib<='003'");
    SPE.SetValue(1);
    panel->resetBlock();
    EXPECT_TRUE(groups("1").empty());
    EXPECT_EQ(groups("2").size(), 3u);
    panel->resetAll();
    EXPECT_EQ(value("select count(*) from timedata where grp<>'0'"), "0");
}

TEST_F(GroupPanelTest, ToggleOpensOnBlockZeroAndCloses) {
    Panel6.setVisible(false);
    SPE.SetValue(3);
    panel->toggle();
    EXPECT_TRUE(Panel6.visible());
    EXPECT_EQ(Qgroup->FieldByName("block").AsString(), "0");
    EXPECT_EQ(SPE.Value(), 3) << "SPE is left as it is";
    panel->toggle();
    EXPECT_FALSE(Panel6.visible());
}

class MaintenancePageUnitTest : public PageUnitTest {
  protected:
    void SetUp() override {
        PageUnitTest::SetUp();
        Qmente = std::make_unique<TQuery>(db(), "Qmente");
        Qedit3 = std::make_unique<TQuery>(db(), "Qedit3");
        DBGrid2 = std::make_unique<GridControl>(controls, "DBGrid2", *Qmente);
        page = std::make_unique<MaintenancePage>(
            MaintenancePage{*Qmente, *Qedit3, SpE2, Edit4, Edit5, Edit2, ME1, ME2, *DBGrid2,
                            CuteButton4, [this](const Control& c) { focus.push_back(c.name()); }});
    }
    // Lists block b's bibs first to last and takes the row of bib n.
    void take(int block, int bib) {
        SpE2.SetValue(block);
        page->filter();
        Qmente->setRecNo(bib - 1);
        page->takeRow();
    }

    SpinEdit SpE2{controls, "SpE2", 0, 9, 0};
    Edit Edit4{controls, "Edit4"}, Edit5{controls, "Edit5"}, Edit2{controls, "Edit2"};
    MaskEdit ME1{controls, "ME1", "00:00:00.00"}, ME2{controls, "ME2", "00:00:00.00"};
    Button CuteButton4{controls, "CuteButton4"};
    std::unique_ptr<TQuery> Qmente, Qedit3;
    std::unique_ptr<GridControl> DBGrid2;
    std::unique_ptr<MaintenancePage> page;
    std::vector<std::string> focus;
};

TEST_F(MaintenancePageUnitTest, CorrectionStoresBothTimesAndTheirTotal) {
    exec("update timedata set time1='00:01:02.50' where bib='012' and block='3'");
    take(3, 12);
    EXPECT_EQ(Edit2.Text(), "012");
    EXPECT_EQ(ME1.Text(), "00:01:02.50");
    EXPECT_EQ(ME2.Text(), "00:00:00.00");
    ME2.typeText("00:01:10.75");
    EXPECT_EQ(page->correct(), "");
    EXPECT_EQ(rows("select time1,time2,totalt from timedata where bib='012' and block='3'"),
              (Rows{{"00:01:02.50", "00:01:10.75", "00:02:13.25"}}));
    EXPECT_EQ(value("select count(*) from timedata where totalt<>''"), "1");
    // The grid shows what is stored, on the corrected bib, and takes the focus.
    EXPECT_EQ(Qmente->FieldByName("totalt").AsString(), "00:02:13.25");
    EXPECT_EQ(Qmente->FieldByName("bib").AsString(), "012");
    EXPECT_EQ(focus, (std::vector<std::string>{"ME1", "DBGrid2"}));
}

TEST_F(MaintenancePageUnitTest, RefusedCorrectionIsToldAndTheGridShowsWhatIsStored) {
    take(0, 4);
    ME1.typeText("00:00:30.00");
    exec(
        "create trigger refuse before update on timedata begin "
        "select raise(abort, 'store refuses'); end");
    const std::string refused = page->correct();
    EXPECT_NE(refused.find("store refuses"), std::string::npos) << refused;
    EXPECT_EQ(Qmente->FieldByName("time1").AsString(), "");
    EXPECT_EQ(value("select count(*) from timedata where time1<>''"), "0");
}

TEST_F(MaintenancePageUnitTest, ABadBlockIsRefusedBeforeTheStoreIsTouched) {
    take(0, 4);
    ME1.typeText("00:00:30.00");
    SpE2.SetText("b");
    EXPECT_ANY_THROW(page->correct());
    EXPECT_EQ(value("select count(*) from timedata where time1<>''"), "0");
}

TEST_F(MaintenancePageUnitTest, FilterListsTheBibRangeOfTheBlock) {
    SpE2.SetValue(5);
    Edit4.SetText("10");
    Edit5.SetText("12");
    page->filter();
    EXPECT_EQ(Qmente->RecordCount(), 3);
    Edit5.SetText("z");  // a bad bib leaves the grid as it was
    EXPECT_ANY_THROW(page->filter());
    EXPECT_EQ(Qmente->RecordCount(), 3);
    page->listAll();
    EXPECT_EQ(Qmente->RecordCount(), 9990);
}

TEST_F(MaintenancePageUnitTest, EnterWalksFromTheGridThroughBothTimesToTheSetButton) {
    SpE2.SetValue(0);
    page->filter();
    page->gridKey("Tab");
    EXPECT_TRUE(focus.empty());
    page->gridKey("Enter");
    page->time1Key("Enter");
    page->time2Key("Space");
    page->time2Key("Enter");
    EXPECT_EQ(focus, (std::vector<std::string>{"ME1", "ME2", "CuteButton4"}));
    EXPECT_EQ(Edit2.Text(), "001");
}

}  // namespace
}  // namespace qpane
