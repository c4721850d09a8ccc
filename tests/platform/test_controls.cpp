// The control state that handlers rely on: clamping, the change cascade, the mask.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/controls.h"

namespace qpane {
namespace {

TEST(RadioGroupState, ProgramItemIsClampedAndClicksOnlyOnChange) {
    Controls c;
    RadioGroup g(c, "RGport", "ポート", {"無し", "Port 1", "Port 2"});
    int clicks = 0;
    g.OnClick = [&] { ++clicks; };
    EXPECT_EQ(g.ItemIndex(), -1);
    g.SetItemIndex(0);  // from no choice to item 0: a click
    g.SetItemIndex(0);
    g.SetItemIndex(15);
    EXPECT_EQ(g.ItemIndex(), 2);
    g.SetItemIndex(-4);
    EXPECT_EQ(g.ItemIndex(), 0);
    EXPECT_EQ(clicks, 3);
}

TEST(SpinEditState, WholeNumbersClampOtherTextIsKeptAndReadsAsMinimum) {
    Controls c;
    SpinEdit s(c, "SpEs", 0, 998, 1);
    std::vector<std::string> seen;
    s.OnChange = [&] { seen.push_back(s.Text()); };
    s.SetText("1000");
    EXPECT_EQ(s.Value(), 998);
    s.SetText("x1");
    EXPECT_EQ(s.Text(), "x1");
    EXPECT_EQ(s.Value(), 0);
    s.SetValue(998);
    s.SetValue(998);
    EXPECT_EQ(seen, (std::vector<std::string>{"998", "x1", "998"}));
}

TEST(SpinEditState, ChangeHandlerRunsBeforeTheSetterReturns) {
    Controls c;
    SpinEdit lo(c, "SpEs", 0, 998, 1), hi(c, "SpEe", 0, 999, 2);
    lo.OnChange = [&] {
        if (lo.Value() > hi.Value()) hi.SetValue(lo.Value() + 1);
    };
    lo.SetValue(10);
    EXPECT_EQ(hi.Value(), 11);
}

TEST(MaskEditState, CharactersGoPositionByPositionSeparatorsStay) {
    EXPECT_EQ(MaskEdit::applyMask("00:59:59.99"), "00:59:59.99");
    EXPECT_EQ(MaskEdit::applyMask("12345678901"), "12:45:78.01");
    EXPECT_EQ(MaskEdit::applyMask("1a:2"), "1 :2 :  .  ");
    EXPECT_EQ(MaskEdit::applyMask(""), "  :  :  .  ");
    EXPECT_EQ(MaskEdit::applyMask("00:00:00.001234"), "00:00:00.00");
}

TEST(ControlsObserver, SeesEveryStateChangeOnce) {
    Controls c;
    Label label(c, "Label5");
    std::vector<std::string> changes;
    c.setObserver([&](Control& changed) { changes.push_back(changed.name()); });
    label.setCaption("x");
    label.setCaption("x");
    label.setVisible(false);
    label.setColor(clBlue);
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(c.find("Label5"), &label);
    EXPECT_EQ(c.find("Nothing"), nullptr);
}

TEST(ControlsNames, ASecondControlOfTheSameNameIsRefused) {
    Controls c;
    Button first(c, "CuteButton1");
    EXPECT_THROW(Label(c, "CuteButton1"), std::logic_error);
    EXPECT_EQ(c.find("CuteButton1"), &first);
    EXPECT_EQ(c.all().size(), 1u);
    {
        Label gone(c, "Label1");
        EXPECT_EQ(c.find("Label1"), &gone);
    }
    EXPECT_EQ(c.find("Label1"), nullptr);  // a control that went leaves no name behind
}

}  // namespace
}  // namespace qpane
