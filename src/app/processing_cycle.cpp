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
        // A number that is not a pattern leaves the queue waiting.
        if (const std::optional<PatternNumber> pattern = this->pattern()) switch (*pattern) {
                case PatternNumber::Alpine1: syoriA1(); break;
                case PatternNumber::Alpine2: syoriA2(); break;
                case PatternNumber::Alpine3: syoriA3(); break;
                case PatternNumber::Alpine4: syoriA4(); break;
                case PatternNumber::Alpine5: syoriA5(); break;
                case PatternNumber::Cross1: syoriC1(); break;
                case PatternNumber::Cross2: syoriC2(); break;
                case PatternNumber::Cross3: syoriC3(); break;
                case PatternNumber::Cross4: syoriC4(); break;
                case PatternNumber::Relay: syoriR(); break;
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
    if (patternFamily() == PatternFamily::Cross) bufferBusy = false;
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
    using enum PatternNumber;
    const std::pair<const Control*, PatternNumber> images[] = {
        {&ImgA1, Alpine1}, {&ImgA2, Alpine2}, {&ImgA3, Alpine3},
        {&ImgA4, Alpine4}, {&ImgA5, Alpine5}, {&ImgC1, Cross1},
        {&ImgC2, Cross2},  {&ImgC3, Cross3},  {&ImgC4, Cross4},
    };
    for (const auto& [image, pattern] : images) {
        if (&sender != image) continue;
        patternNo = static_cast<int>(pattern);
        Label5.setCaption(patternCaption(pattern));
    }
    Fqpane.setCaption(kWindowCaptionHead + Label5.caption());
    if (patternFamily() == PatternFamily::Alpine) {
        Timer3.SetEnabled(false);
        Timer2.SetInterval(500);
    } else {
        Timer3.SetEnabled(true);
        Timer2.SetInterval(200);
    }
}

void TFqpane::CkBrelayClick() {
    if (!CkBrelay.Checked()) return;  // unticking leaves the relay pattern in force
    Label5.setCaption(patternCaption(PatternNumber::Relay));
    patternNo = static_cast<int>(PatternNumber::Relay);
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
