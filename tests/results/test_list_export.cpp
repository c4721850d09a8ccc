// The CSV and text forms of a list, read back as a spreadsheet and a reader would read them.
#include <gmock/gmock.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <fstream>

#include "platform/shift_jis.h"
#include "race_store.h"
#include "results/list_export.h"
#include "results/list_heading.h"

namespace qpane::results::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A CSV text parsed back the way a spreadsheet reads it: quoted fields with doubled quotes,
// commas and line ends inside quotes; records end in CR LF.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1);
    std::string field;
    bool quoted = false, fieldStarted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == ',') {
            records.back().push_back(field);
            field.clear();
            fieldStarted = false;
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.back().push_back(field);
            field.clear();
            fieldStarted = false;
            records.emplace_back();
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "a bare LF ends no record";
            field += c;
            fieldStarted = true;
        }
    }
    EXPECT_FALSE(quoted) << "a quote is left open";
    EXPECT_TRUE(records.back().empty() && field.empty()) << "the last record has no line end";
    records.pop_back();
    return records;
}

// A list of two groups whose values hold what a CSV must protect: a comma, quotes, a line
// end, blanks at the ends and Japanese.
ResultList awkwardList() {
    ResultList l;
    l.discipline = Discipline::Alpine;
    l.block = "1";
    ResultRow a{"1", "001", "1", "1:00.00", "1:01.00", "2:01.00", "", ""};
    ResultRow b{"2", "002", "1", "1:00,50", "ダブル\"クォート\"", "2:02.00", "", "+1.00"};
    ResultRow c{"", "003", "2", " 途中棄権 ", "a\r\nb", "", "", ""};
    l.groups = {{"1", {a, b}}, {"2", {c}}};
    return l;
}

TEST(CsvExport, Utf8WithByteOrderMarkParsesBackToTheListsValues) {
    const std::string csv = csvOf(awkwardList(), Encoding::Utf8);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const auto records = parseCsv(csv.substr(3));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_THAT(records[0], ElementsAre("ブロック", "順位", "ゼッケン", "組", "1本目", "2本目",
                                        "合計", "トップ差"));
    EXPECT_THAT(records[1], ElementsAre("1", "1", "001", "1", "1:00.00", "1:01.00", "2:01.00", ""));
    EXPECT_THAT(records[2], ElementsAre("1", "2", "002", "1", "1:00,50", "ダブル\"クォート\"",
                                        "2:02.00", "+1.00"));
    EXPECT_THAT(records[3], ElementsAre("1", "", "003", "2", " 途中棄権 ", "a\r\nb", "", ""));
}

TEST(CsvExport, ShiftJisHasNoByteOrderMarkAndTheCodePagesBytes) {
    ResultList l;
    l.discipline = Discipline::Cross;
    l.block = "0";
    l.groups = {{"1", {ResultRow{"1", "001", "1", "", "", "28:39.90", "2", ""}}}};
    const std::string csv = csvOf(l, Encoding::ShiftJis);
    // 順位 in code page 932, then the first record unchanged (ASCII).
    EXPECT_EQ(csv.substr(0, 14), "\x83\x75\x83\x8D\x83\x62\x83\x4E,\x8F\x87\x88\xCA,");
    EXPECT_THAT(csv, HasSubstr("\r\n0,1,001,1,2,28:39.90,\r\n"));
    EXPECT_EQ(shiftJisToUtf8(csv), csvOf(l, Encoding::Utf8).substr(3));

    // A character outside the code page stops the export instead of writing "?".
    l.groups[0].rows[0].total = "\xF0\x9F\x98\x80";  // an emoji
    try {
        csvOf(l, Encoding::ShiftJis);
        FAIL() << "an emoji went into Shift-JIS";
    } catch (const EncodingError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Shift-JIS"));
    }
}

TEST(TextExport, HeadingThenEachGroupWithAlignedColumns) {
    const std::string text =
        textOf(awkwardList(), ListHeading{"第5回 市民スキー大会", "2027年1月10日"}, Encoding::Utf8);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 9u) << text;
    EXPECT_EQ(lines[0], "第5回 市民スキー大会");
    EXPECT_EQ(lines[1], "2027年1月10日");
    EXPECT_EQ(lines[2], "アルペン  ブロック 1");
    EXPECT_EQ(lines[4], "組 1");
    // Every row of a group is as wide as its caption line: the columns line up in a
    // fixed-width font with the Japanese captions counted two places.
    EXPECT_EQ(displayWidth(lines[5]), displayWidth(lines[7])) << text;
    EXPECT_EQ(lines[6].find("001"), lines[7].find("002"));
    EXPECT_THAT(lines[7], HasSubstr("+1.00"));
    EXPECT_EQ(lines[9], "組 2");
}

TEST(TextExport, DisplayWidthCountsJapaneseTwice) {
    EXPECT_EQ(displayWidth("abc"), 3u);
    EXPECT_EQ(displayWidth("順位"), 4u);
    EXPECT_EQ(displayWidth("ｱｲ"), 2u);  // half-width katakana
    EXPECT_EQ(displayWidth("＋1"), 3u);
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class WholeFileTest : public RaceStore {};

TEST_F(WholeFileTest, FileIsReplacedWholeAndAFailureLeavesNothingBehind) {
    const std::filesystem::path file = root() / "list.csv";
    writeWholeFile(file, "old");
    writeWholeFile(file, "new content");
    EXPECT_EQ(readFile(file), "new content");
    EXPECT_NE(std::filesystem::status(file).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::none)
        << "a list is for others to read";

    const std::filesystem::path missing = root() / "no-such-folder" / "list.csv";
    try {
        writeWholeFile(missing, "x");
        FAIL() << "wrote into a folder that is not there";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr(missing.string()));
    }
#ifndef _WIN32  // a folder's permission bits do not keep files out on Windows
    if (::geteuid() != 0) {
        std::filesystem::permissions(
            root(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_THROW(writeWholeFile(file, "lost"), std::runtime_error);
        std::filesystem::permissions(root(), std::filesystem::perms::owner_all);
    }
#endif
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(root()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "a temporary file was left";
}

}  // namespace
}  // namespace qpane::results::testing

namespace qpane::results::testing {
namespace {

class ListHeadingTest : public RaceStore {};

TEST_F(ListHeadingTest, KeptInASectionOfItsOwnBesideTheWindowsSettings) {
    const std::filesystem::path ini = root() / "Qcontrol.ini";
    EXPECT_EQ(readListHeading(ini).title, "") << "a first start has no heading";
    std::ofstream(ini, std::ios::binary) << "[Boad]\r\nPortno=3\r\nDisppt=12\r\n";
    keepListHeading(ini, {"大会, \"決勝\"\r\n二行目", "2027/1/10"});
    const ListHeading back = readListHeading(ini);
    EXPECT_EQ(back.title, "大会, \"決勝\"  二行目");
    EXPECT_EQ(back.date, "2027/1/10");
    EXPECT_EQ(readFile(ini),
              "[Boad]\r\nPortno=3\r\nDisppt=12\r\n[Results]\r\nTitle=大会, \"決勝\"  二行目\r\n"
              "Date=2027/1/10\r\n");
}

}  // namespace
}  // namespace qpane::results::testing
