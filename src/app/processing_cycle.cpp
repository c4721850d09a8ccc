// The processing cycle that hands the input queue to the selected pattern, and the choice
// of the pattern.
#include "app/fqpane.h"
#include "app/pattern_captions.h"
#include "store/store_problem.h"

namespace qpane {

void TFqpane::Timer1Timer() {
    Timer1.SetEnabled(false);
    if (Memo2.count() == 0) return;
    try {
        switch (patternNo) {
            case 1: syoriA1(); break;
            case 2: syoriA2(); break;
            case 3: syoriA3(); break;
            case 4: syoriA4(); break;
            case 5: syoriA5(); break;
            case 11: syoriC1(); break;
            case 12: syoriC2(); break;
            case 13: syoriC3(); break;
            case 14: syoriC4(); break;
            case 15: syoriR(); break;
            default: break;  // not a pattern: the queue waits
        }
    } catch (const EDatabaseError& e) {
        // The line whose write failed is still first in the queue; the next cycle, which the
        // next arrival starts, takes it again.
        if (!e.writeFailed()) throw;
        if (!tellStoreFailure()) return;
        throw EDatabaseError(
            "結果を保存できません: " + storeProblem(e.code()) +
                "\nこの結果は入力待ちの先頭に残っています。書き込めるようになると、次の受信の"
                "ときに保存されます。\n" +
                e.engineText(),
            e.code(), e.engineText());
    }
    storeFailureTold_ = false;
    // A buffered alpine batch that was waiting when a cross-country pattern was chosen has
    // now been worked off; the cross-country routines never clear the flag themselves, and
    // left set it would stop the intake for the rest of the race.
    if (patternNo >= 11) bufferBusy = false;
}

bool TFqpane::tellStoreFailure() {
    if (!storeFailureTold_) {
        storeFailureTold_ = true;
        return true;
    }
    // What the report would do besides the box: the buffered intake goes on.
    bufferBusy = false;
    return false;
}

void TFqpane::ImgA1Click(Control& sender) {
    const std::pair<const Control*, int> images[] = {
        {&ImgA1, 1},  {&ImgA2, 2},  {&ImgA3, 3},  {&ImgA4, 4},  {&ImgA5, 5},
        {&ImgC1, 11}, {&ImgC2, 12}, {&ImgC3, 13}, {&ImgC4, 14},
    };
    for (const auto& [image, number] : images) {
        if (&sender != image) continue;
        patternNo = number;
        Label5.setCaption(patternCaption(number));
    }
    Fqpane.setCaption(kWindowCaptionHead + Label5.caption());
    if (patternNo <= 10) {
        Timer3.SetEnabled(false);
        Timer2.SetInterval(500);
    } else {
        Timer3.SetEnabled(true);
        Timer2.SetInterval(200);
    }
}

void TFqpane::CkBrelayClick() {
    if (!CkBrelay.Checked()) return;  // unticking leaves the relay pattern in force
    Label5.setCaption(patternCaption(15));
    patternNo = 15;
    Fqpane.setCaption(kWindowCaptionHead + Label5.caption());
    Timer3.SetEnabled(true);
    Timer2.SetInterval(200);
}

void TFqpane::EddanExit() {
    scrollRows = Eddan.Text();
}

void TFqpane::SPEninChange() {
    rankLimit = SPEnin.Value();
}

void TFqpane::Button1Click() {
    Timer1.SetEnabled(!Timer1.Enabled());
}

void TFqpane::Button2Click() {
    Timer2.SetEnabled(false);
}

}  // namespace qpane
