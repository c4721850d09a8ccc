#pragma once

#include <QFont>

namespace qpane {

// The font of the window: "ＭＳ Ｐゴシック" of pixel height 12 where it is installed, else
// IPAPGothic (Debian fonts-ipafont-gothic) of the same height.
QFont windowFont();

// Its fixed-pitch sibling for the memos and grids, where board rows line up by blanks:
// "ＭＳ ゴシック", else IPAGothic.
QFont fixedPitchFont();

}  // namespace qpane
