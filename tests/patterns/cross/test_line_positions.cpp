// How the cross-country routines read the positions of a queued line, also a short one.
#include "cross_patterns.h"
#include "patterns/cross/cross_line.h"

namespace qpane::testing {
namespace {

TEST(LinePositions, CharactersThatDoNotExistAreLeftOut) {
    EXPECT_EQ(cross::charAt("C1012", 2), '1');
    EXPECT_EQ(cross::charAt("C1012", 6), '\0');
    EXPECT_EQ(cross::charAt("", 1), '\0');
    EXPECT_EQ(cross::copyText("C1012", 4, 3), "12");
    EXPECT_EQ(cross::copyText("C1012", 6, 3), "");
    EXPECT_EQ(cross::copyText("C1012", 0, 3), "");
}

class QueuedLine : public CrossPatterns {
  protected:
    void take(const std::string& line) {
        queue.clear();
        queue.addLine(line);
        cross::CrossContext c = context();
        cross::takeQueuedLine(c);
        cross::takePassTime(c);
    }
    bool isStorablePass(char code) { return cross::isStorablePass(context(), code); }
};

TEST_F(QueuedLine, AFullLineGivesBlockBibAndTime) {
    take("C1301200:27:07.84");
    EXPECT_EQ(fields.workLine, "C1301200:27:07.84\r");
    EXPECT_EQ(fields.blockNo, "3");
    EXPECT_EQ(fields.bibNo, "012");
    EXPECT_EQ(fields.timeText, "00:27:07.84");
    EXPECT_TRUE(isStorablePass('1'));
    EXPECT_FALSE(isStorablePass('T'));
}

TEST_F(QueuedLine, ALineCutShortGivesOnlyThePlacesItHasAsBlockAndBib) {
    struct Case {
        const char* line;
        const char* block;
        const char* bib;
    };
    for (const Case& c :
         {Case{"C1001", "0", "01"}, Case{"C10", "0", ""}, Case{"C1", "", ""}, Case{"", "", ""}}) {
        take(c.line);
        EXPECT_EQ(fields.workLine, std::string(c.line) + "\r") << c.line;
        EXPECT_EQ(fields.blockNo, c.block) << c.line;
        EXPECT_EQ(fields.bibNo, c.bib) << c.line;
    }
}

TEST_F(QueuedLine, ABlankPosition17IsATenthsTime) {
    take("C1301212:34:56.7 ");
    EXPECT_EQ(fields.timeText, "12:34:56.70");
}

TEST_F(QueuedLine, AShortTimeIsCompleted) {
    take("C130121:23.45");
    EXPECT_EQ(fields.timeText, "00:01:23.45");
}

TEST_F(QueuedLine, ALineCutOffBeforeItsTimeIsNoPass) {
    for (const char* line : {"C13012", "C1301200:", "C1", "C"}) {
        take(line);
        EXPECT_EQ(fields.timeText, "") << line;
        EXPECT_FALSE(isStorablePass('1')) << line;
    }
}

}  // namespace
}  // namespace qpane::testing
