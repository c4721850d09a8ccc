// qpane-results as a script or a second PC runs it: lists of races that the console's own
// logic stored, their content read back (the CSV parsed, the PDF's text through pdftotext),
// its exit codes and messages, and reading while the console holds the store.
#include <gmock/gmock.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "platform/shift_jis.h"
#include "race_store.h"
#include "store/database.h"

namespace qpane::results::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct ToolRun {
    int status;
    std::string output;  // standard output and error together
};

ToolRun run(const std::string& command) {
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return {-1, "popen failed"};
    std::string out;
    char buf[4096];
    while (size_t n = std::fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

// The fields of a CSV line without quoted fields.
std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == ',')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

class ResultsTool : public RaceStore {
  protected:
    ToolRun tool(const std::string& arguments) {
        return run(std::string(QPANE_RESULTS_TOOL) + " --root '" + root().string() + "' " +
                   arguments);
    }
    std::filesystem::path out(const std::string& name) const { return root() / name; }

    // An ALPINE-1 race in block 1, group 1: five finish run 1 and three of them run 2,
    // with a total for each; 006 is in the group and never starts.
    void alpineRace() {
        replay(R"(ini Portno 1
ini Pinout 1
ini Portno2 2
ini Disppt 1
iniraw "[Boad]\r\nPortno=1\r\nPinout=1\r\nPortno2=2\r\nDisppt=1\r\n[Results]\r\nTitle=第12回 \"雪原\" カップ, 大回転\r\nDate=2027年2月7日\r\n"
start
sql "update timedata set grp='1' where block='1' and bib between '001' and '006'"
answer no no
click CuteButton3
rx COM1 "\x02C1100100:00:58.10\x03\x02C1100200:00:57.40\x03\x02C1100300:00:59.00\x03"
wait 1500
rx COM1 "\x02C1100400:01:02.00\x03\x02C1100500:00:57.40\x03"
wait 1500
rx COM1 "\x02C2100100:00:59.00\x03\x02CT100100:01:57.10\x03"
wait 1500
rx COM1 "\x02C2100200:01:00.20\x03\x02CT100200:01:57.60\x03"
wait 1500
rx COM1 "\x02C2100500:00:59.70\x03\x02CT100500:01:57.10\x03"
wait 1500
close
)");
    }

    // A CROSS-1 race in block 0, group 2: 021 passes twice, 022 and 023 once.
    void crossRace() {
        replay(R"(ini Portno 1
ini Pinout 1
ini Portno2 2
ini Disppt 11
ini WTime 1
start
sql "update timedata set grp='2' where block='0' and bib between '021' and '024'"
answer no no
click CuteButton3
wait 1000
rx COM1 "\x02C1002100:10:07.41\x03"
wait 800
rx COM1 "\x02C1002200:10:26.43\x03"
wait 800
rx COM1 "\x02C1002100:20:15.00\x03"
wait 800
rx COM1 "\x02C1002300:21:00.05\x03"
wait 30000
close
)");
    }
};

TEST_F(ResultsTool, AlpineRaceAsCsvTextAndPdf) {
    alpineRace();
    ASSERT_EQ(tool("--block 1 --group 1 --format csv -o " + out("a.csv").string()).status, 0)
        << transcript();
    const std::string csv = readFile(out("a.csv"));
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const auto rows = lines(csv.substr(3));
    // 001 and 005 tie on the total; 003 and 004 have run 1 only, 006 no time.
    EXPECT_THAT(rows,
                ElementsAre("ブロック,順位,ゼッケン,組,1本目,2本目,合計,トップ差",
                            "1,1,001,1,58.10,59.00,1:57.10,", "1,1,005,1,57.40,59.70,1:57.10,",
                            "1,3,002,1,57.40,1:00.20,1:57.60,+0.50", "1,,003,1,59.00,,,",
                            "1,,004,1,1:02.00,,,", "1,,006,1,,,,"));

    ASSERT_EQ(tool("--block 1 --format txt -o " + out("a.txt").string()).status, 0);
    const auto text = lines(readFile(out("a.txt")));
    ASSERT_GE(text.size(), 6u);
    EXPECT_EQ(text[0], "第12回 \"雪原\" カップ, 大回転");
    EXPECT_EQ(text[1], "2027年2月7日");
    EXPECT_THAT(text[6], HasSubstr("001"));
    EXPECT_THAT(text[6], HasSubstr("1:57.10"));

#ifndef QPANE_RESULTS_PDF
    // A build without Qt has no PDF writer; it says so (the core's sanitizer build).
    const ToolRun none = tool("--block 1 --format pdf -o " + out("a.pdf").string());
    EXPECT_EQ(none.status, 1);
    EXPECT_THAT(none.output, HasSubstr("no PDF writer"));
    EXPECT_FALSE(std::filesystem::exists(out("a.pdf")));
    return;
#endif
    const ToolRun pdf = tool("--block 1 --format pdf -o " + out("a.pdf").string());
    ASSERT_EQ(pdf.status, 0) << pdf.output;
    EXPECT_EQ(pdf.output, "");
    EXPECT_EQ(readFile(out("a.pdf")).substr(0, 5), "%PDF-");
    const ToolRun fonts = run("pdffonts '" + out("a.pdf").string() + "'");
    ASSERT_EQ(fonts.status, 0) << "pdffonts (poppler-utils) is missing: " << fonts.output;
    EXPECT_THAT(fonts.output, HasSubstr("IPAGothic"));
    EXPECT_THAT(lines(fonts.output).back(), HasSubstr(" yes ")) << "the font is not embedded";
    const ToolRun pdfText = run("pdftotext -layout '" + out("a.pdf").string() + "' -");
    ASSERT_EQ(pdfText.status, 0) << pdfText.output;
    for (const char* expected : {"第12回 \"雪原\" カップ, 大回転", "2027年2月7日", "アルペン",
                                 "組 1", "順位", "トップ差", "+0.50"})
        EXPECT_THAT(pdfText.output, HasSubstr(expected));
    // The rows in the list's order.
    const size_t at001 = pdfText.output.find(" 001 "), at005 = pdfText.output.find(" 005 "),
                 at002 = pdfText.output.find(" 002 "), at006 = pdfText.output.find(" 006 ");
    ASSERT_NE(at006, std::string::npos) << pdfText.output;
    EXPECT_LT(at001, at005);
    EXPECT_LT(at005, at002);
    EXPECT_LT(at002, at006);
}

TEST_F(ResultsTool, PdfOfALongListRepeatsTheCaptionRowOnEveryPage) {
#ifndef QPANE_RESULTS_PDF
    GTEST_SKIP() << "built without Qt: no PDF writer";
#endif
    console("1");
    sql("update timedata set grp='1',time1='00:01:' || printf('%02d.%02d', 10 + bib % 40, "
        "bib % 97) where block='2' and bib <= '150'");
    ASSERT_EQ(tool("--block 2 --format pdf -o " + out("long.pdf").string()).status, 0);
    const ToolRun info = run("pdfinfo '" + out("long.pdf").string() + "'");
    const size_t at = info.output.find("Pages:");
    ASSERT_NE(at, std::string::npos) << info.output;
    const int pages = std::stoi(info.output.substr(at + 6));
    EXPECT_GE(pages, 3);
    const std::string text = run("pdftotext '" + out("long.pdf").string() + "' -").output;
    int captions = 0;
    for (size_t p = text.find("トップ差"); p != std::string::npos; p = text.find("トップ差", p + 1))
        ++captions;
    EXPECT_EQ(captions, pages);
    EXPECT_NE(text.find("150"), std::string::npos) << "the last competitor is missing";
}

TEST_F(ResultsTool, CrossRaceWithLapsAndShiftJis) {
    crossRace();
    ASSERT_EQ(tool("--block 0 --format csv --encoding sjis -o " + out("c.csv").string()).status, 0)
        << transcript();
    const std::string sjis = readFile(out("c.csv"));
    EXPECT_NE(sjis.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(sjis.substr(0, 8), "\x83\x75\x83\x8D\x83\x62\x83\x4E");  // ブロック
    const auto rows = lines(shiftJisToUtf8(sjis));
    ASSERT_EQ(rows.size(), 5u) << shiftJisToUtf8(sjis);
    EXPECT_THAT(fields(rows[0]),
                ElementsAre("ブロック", "順位", "ゼッケン", "組", "周回", "タイム", "トップ差"));
    // The board ranks by the last pass time.
    EXPECT_THAT(fields(rows[1]), ElementsAre("0", "1", "022", "2", "1", "10:26.43", ""));
    EXPECT_THAT(fields(rows[2]), ElementsAre("0", "2", "021", "2", "2", "20:15.00", "+9:48.57"));
    EXPECT_THAT(fields(rows[3]), ElementsAre("0", "3", "023", "2", "1", "21:00.05", "+10:33.62"));
    EXPECT_THAT(fields(rows[4]), ElementsAre("0", "", "024", "2", "", "", ""));

    // --kind overrides the pattern of the settings file.
    ASSERT_EQ(tool("--block 0 --kind alpine --format csv -o " + out("k.csv").string()).status, 0);
    EXPECT_THAT(readFile(out("k.csv")), HasSubstr("1本目"));
}

TEST_F(ResultsTool, WrongCommandLinesGetTheUsageAndStatusTwo) {
    for (const char* args :
         {"", "--block 1 --format csv", "--block 1 -o x.csv", "--block 1 --format doc -o x",
          "--block 1 --format csv --encoding latin1 -o x",
          "--block 1 --format pdf --encoding sjis -o x", "--block", "--backup",
          "--block 1 --format csv --kind ski -o x"}) {
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_THAT(r.output, HasSubstr("usage: qpane-results")) << args;
    }
    EXPECT_THAT(tool("--bogus").output, HasSubstr("unknown option --bogus"));
    const ToolRun help = run(std::string(QPANE_RESULTS_TOOL) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.output, HasSubstr("--encoding"));
}

// The backups that each 実行 takes, listed and put back from the command line; the list is
// the same after the restore but for the copy of the store as it was.
TEST_F(ResultsTool, BackupsAreListedAndOneIsRestoredWithTheStoreAsItWasKept) {
    alpineRace();
    ToolRun r = tool("--backups");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<std::string> listed = lines(r.output);
    ASSERT_EQ(listed.size(), 1u) << r.output;
    const std::string name = listed[0].substr(0, listed[0].find('\t'));
    EXPECT_THAT(name, ::testing::StartsWith("QPANEData-"));

    // The backup was taken at 実行, before the race: its group has no time yet.
    ASSERT_EQ(tool("--block 1 --group 1 --format csv -o " + out("before.csv").string()).status, 0);
    EXPECT_THAT(readFile(out("before.csv")), HasSubstr("57.40"));
    r = tool("--restore " + name);
    ASSERT_EQ(r.status, 0) << r.output;
    r = tool("--block 1 --group 1 --format csv -o " + out("after.csv").string());
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string after = readFile(out("after.csv"));
    EXPECT_THAT(after, HasSubstr("006"));
    EXPECT_THAT(after, ::testing::Not(HasSubstr("57.40")));
    EXPECT_THAT(lines(tool("--backups").output), ::testing::SizeIs(2));

    EXPECT_EQ(tool("--restore no-such-backup.db").status, 1);
    for (const char* args : {"--backups --restore x", "--backups --block 1", "--restore"}) {
        r = tool(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_THAT(r.output, HasSubstr("usage: qpane-results")) << args;
    }
}

TEST_F(ResultsTool, MissingStoreEmptyBlockAndUnwritableFileFailWithAMessageAndWriteNothing) {
    ToolRun r = tool("--block 1 --format csv -o " + out("x.csv").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.output, HasSubstr("no result store at"));
    EXPECT_FALSE(std::filesystem::exists(dataFolder())) << "the tool made a store";

    console("1");
    r = tool("--block 7 --format txt -o " + out("x.txt").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.output, HasSubstr("ブロック 7 に結果がありません"));
    EXPECT_FALSE(std::filesystem::exists(out("x.txt")));

    sql("update timedata set time1='00:01:00.00',grp='1' where block='1' and bib='001'");
    const std::filesystem::path nowhere = root() / "no-folder" / "x.csv";
    r = tool("--block 1 --format csv -o " + nowhere.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.output, HasSubstr(nowhere.string()));

    // A file that was there stays as it was when the new list cannot be made.
    std::ofstream(out("kept.csv")) << "earlier list";
    sql("update timedata set time1='\xF0\x9F\x98\x80' where block='1' and bib='001'");
    r = tool("--block 1 --format csv --encoding sjis -o " + out("kept.csv").string());
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.output, HasSubstr("Shift-JIS"));
    EXPECT_EQ(readFile(out("kept.csv")), "earlier list");
}

TEST_F(ResultsTool, ReadsWhileTheConsoleHoldsTheStoreAndSeesOnlyWhatIsCommitted) {
    console("1");
    sql("update timedata set grp='1',time1='00:01:00.00' where block='1' and bib='001'");
    Database console(dataFolder());
    console.run("BEGIN IMMEDIATE");
    console.run("update timedata set time1='00:00:50.00' where block='1' and bib='001'");
    const ToolRun during = tool("--block 1 --format csv -o " + out("during.csv").string());
    ASSERT_EQ(during.status, 0) << during.output;
    EXPECT_THAT(readFile(out("during.csv")), HasSubstr(",1:00.00,"));
    console.run("COMMIT");
    console.run("update timedata set time2='00:01:10.00' where block='1' and bib='001'");
    ASSERT_EQ(tool("--block 1 --format csv -o " + out("after.csv").string()).status, 0);
    EXPECT_THAT(readFile(out("after.csv")), HasSubstr(",50.00,1:10.00,"));
    // The writer goes on after the reader came and went.
    EXPECT_NO_THROW(console.run("update timedata set time2='' where block='1' and bib='001'"));
    ASSERT_EQ(tool("--block 1 --format csv -o " + out("last.csv").string()).status, 0);
    EXPECT_THAT(readFile(out("last.csv")), HasSubstr(",50.00,,"));
}

}  // namespace
}  // namespace qpane::results::testing
