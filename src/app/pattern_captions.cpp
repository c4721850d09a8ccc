#include "app/pattern_captions.h"

namespace qpane {

std::string patternCaption(int patternNo) {
    switch (patternNo) {
        case 1: return "選択出力パターン －＞ ＡＬＰＩＮＥ－１";
        case 2: return "選択出力パターン －＞ ＡＬＰＩＮＥ－２";
        case 3: return "選択出力パターン －＞ ＡＬＰＩＮＥ－３";
        case 4: return "選択出力パターン －＞ ＡＬＰＩＮＥ－４";
        case 5: return "選択出力パターン －＞ ＡＬＰＩＮＥ－５";
        case 11: return "選択出力パターン －＞ ＣＲＯＳＳ－１";
        case 12: return "選択出力パターン －＞ ＣＲＯＳＳ－２";
        case 13: return "選択出力パターン －＞ ＣＲＯＳＳ－３";
        case 14: return "選択出力パターン －＞ ＣＲＯＳＳ－４";
        case 15: return "選択出力パターン －＞ ＣＲＯＳＳ-リレー";
        default: return {};
    }
}

}  // namespace qpane
