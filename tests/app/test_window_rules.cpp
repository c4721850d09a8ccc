// Rules of the main window that a transcript cannot show.
#include <gtest/gtest.h>

#include "window_harness.h"

namespace qpane::testing {
namespace {

std::vector<std::string> gridColumn(TQuery& q, int column) {
    std::vector<std::string> out;
    for (int r = 0; r < q.rowCount(); ++r)
        out.push_back(q.cell(r, column));
    return out;
}

TEST(DataCheckPage, CrossPatternListsPassTimesEqualTimesHigherBibFirst) {
    WindowHarness h({{"Disppt", "11"}});
    h.start();
    h.sql("update timedata set time1='00:01:10.00' where bib='003' and block='0'");
    h.sql("update timedata set time1='00:01:05.00' where bib='007' and block='0'");
    h.sql("update timedata set time1='00:01:10.00' where bib='005' and block='0'");
    h.act([&] { h.w().showPage(h.w().TabSheet2); });
    EXPECT_EQ(gridColumn(h.w().Qtimedp, 0), (std::vector<std::string>{"007", "005", "003"}));
}

TEST(DataCheckPage, AlpineOneToFourLeavesTheGridAlone) {
    WindowHarness h({{"Disppt", "1"}});
    h.start();
    h.sql("update timedata set time1='00:01:10.00' where bib='003' and block='0'");
    h.act([&] { h.w().showPage(h.w().TabSheet2); });
    EXPECT_FALSE(h.w().Qtimedp.Active());
    EXPECT_EQ(h.w().Qtimedp.rowCount(), 0);
}

TEST(ErrorReport, ClearsBufferBusySoTheBufferedIntakeGoesOn) {
    WindowHarness h({{"Portno", "1"}, {"Gmode", "B"}});
    h.start();
    h.apply();
    h.w().bufferBusy = true;
    h.act([] { throw EDatabaseError("disk I/O error"); });
    ASSERT_EQ(h.boxes().errors, (std::vector<std::string>{"disk I/O error"}));
    EXPECT_FALSE(h.w().bufferBusy);
}

TEST(ProcessingCycle, EmptyQueueOnlyDisablesTheTimer) {
    WindowHarness h({{"Disppt", "11"}});
    h.start();
    EXPECT_TRUE(h.w().Timer1.Enabled());
    h.wait(500);
    EXPECT_FALSE(h.w().Timer1.Enabled());
    EXPECT_TRUE(h.sql("select count(*) from crosst") == std::vector<std::string>{"0"});
}

TEST(Startup, LeaderTimeComesFromTheBestStoredTotal) {
    WindowHarness h;
    h.sql(
        "update timedata set totalt='00:02:00.00',totaltv='12000',lap='2' where bib='004' "
        "and block='1'");
    h.sql(
        "update timedata set totalt='00:01:00.00',totaltv='6000',lap='1' where bib='005' "
        "and block='1'");
    h.start();
    EXPECT_EQ(h.w().topTime, 12000);  // the most laps come first
}

TEST(Shutdown, SettingsThatCannotBeWrittenAreReported) {
    WindowHarness h({{"Portno", "2"}});
    h.start();
    std::filesystem::remove_all(h.w().paths().settingsFolder());
    h.act([&] { h.w().FormClose(); });
    ASSERT_EQ(h.boxes().errors.size(), 1u);
    EXPECT_NE(h.boxes().errors[0].find("Qcontrol.ini"), std::string::npos);
    EXPECT_EQ(h.w().iniFile, nullptr);  // the settings object is freed in any case
}

}  // namespace
}  // namespace qpane::testing

namespace qpane::testing {
namespace {

TEST(Shutdown, StartUpThatNeverReadTheSettingsWritesNoneBack) {
    WindowHarness h({{"Portno", "3"}, {"Disppt", "12"}});
    const auto file = h.w().paths().settingsFolder() / "Qcontrol.ini";
    const auto before = std::filesystem::last_write_time(file);
    h.act([&] { h.w().FormClose(); });  // as after a start-up that failed at its first step
    EXPECT_TRUE(h.boxes().errors.empty());
    EXPECT_EQ(std::filesystem::last_write_time(file), before);
    EXPECT_FALSE(std::filesystem::exists(h.root() / "Qcontrol.ini"));
}

}  // namespace
}  // namespace qpane::testing
