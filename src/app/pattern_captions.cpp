#include "app/pattern_captions.h"

namespace qpane {

std::string patternCaption(std::optional<PatternNumber> pattern) {
    if (!pattern) return {};
    switch (*pattern) {
        case PatternNumber::Alpine1: return "選択出力パターン －＞ ＡＬＰＩＮＥ－１";
        case PatternNumber::Alpine2: return "選択出力パターン －＞ ＡＬＰＩＮＥ－２";
        case PatternNumber::Alpine3: return "選択出力パターン －＞ ＡＬＰＩＮＥ－３";
        case PatternNumber::Alpine4: return "選択出力パターン －＞ ＡＬＰＩＮＥ－４";
        case PatternNumber::Alpine5: return "選択出力パターン －＞ ＡＬＰＩＮＥ－５";
        case PatternNumber::Cross1: return "選択出力パターン －＞ ＣＲＯＳＳ－１";
        case PatternNumber::Cross2: return "選択出力パターン －＞ ＣＲＯＳＳ－２";
        case PatternNumber::Cross3: return "選択出力パターン －＞ ＣＲＯＳＳ－３";
        case PatternNumber::Cross4: return "選択出力パターン －＞ ＣＲＯＳＳ－４";
        case PatternNumber::Relay: return "選択出力パターン －＞ ＣＲＯＳＳ-リレー";
    }
    return {};
}

}  // namespace qpane
