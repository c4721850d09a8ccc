// The cross-country pattern library on its own: a routine or a display step fed queued
// lines against a store of its own and two simulated ports, with no window. What it leaves
// is what a peer sees: the board bytes and their pace, the output log, the stored rows.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "board_ports.h"
#include "failing_vfs.h"
#include "patterns/cross/cross_context.h"
#include "platform/message_boxes.h"
#include "store/database.h"
#include "store/query.h"
#include "store/tableupdate.h"
#include "store/window_queries.h"
#include "upgraded_store.h"

namespace qpane::testing {

using Lines = std::vector<std::string>;

// A data folder with the upgraded store (blocks 0 to 9), made once per test program; each
// test works on a copy of it.
inline std::filesystem::path copyOfUpgradedStore() {
    namespace fs = std::filesystem;
    static std::atomic<int> counter{0};
    const fs::path dir = fs::temp_directory_path() / ("qpane-cross-" + std::to_string(::getpid()) +
                                                      "-" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::copy(upgradedStoreFolder(), dir, fs::copy_options::recursive);
    return dir;
}

// The fields that the window would hold, as plain values.
struct CrossFieldValues {
    int32_t topTime = 0, nowTime = 0, diffTime = 0;
    std::string workLine, bibNo, timeText, rankBib, rankTime, topLine, lapNo, blockNo, grpNo,
        shownGrp, shownBlock;
    int rowNo = 0;
    BoardRows boardRows;
};

// Block 1: group 1 holds bibs 001 to 020, group 2 bibs 021 to 040. The board port is
// separate (COM2) unless a test shares it. The store's disk fails on request (vfs).
class CrossPatterns : public ::testing::Test, public BoardPorts {
  protected:
    CrossPatterns() {
        pinout = 1;
        db.run("update timedata set grp='1' where block='1' and bib between '001' and '020'");
        db.run("update timedata set grp='2' where block='1' and bib between '021' and '040'");
        settings.pattern = PatternNumber::Cross1;
        settings.form = TimeFieldForm::Cross;
        settings.precision = Precision::Hundredths;
        Qcross.setRowLimit(1);
    }
    ~CrossPatterns() override {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    // The settings of a pattern as the window gives them.
    void choose(PatternNumber pattern, Precision precision) {
        settings.pattern = pattern;
        settings.form = timeFieldFormOf(static_cast<int>(pattern));
        settings.precision = precision;
    }

    cross::CrossContext context() {
        CrossFieldValues& v = fields;
        return {
            .queue = queue,
            .store = {.Qtemp = Qtemp,
                      .Qedit = Qedit,
                      .Qtimedp = Qtimedp,
                      .Qcross = Qcross,
                      .Qtop = Qtop,
                      .Qedit2 = Qedit2},
            .fields = {v.topTime, v.nowTime, v.diffTime, v.workLine, v.bibNo, v.timeText, v.rankBib,
                       v.rankTime, v.topLine, v.lapNo, v.blockNo, v.grpNo, v.shownGrp, v.shownBlock,
                       v.rowNo, v.boardRows},
            .board = output,
            .settings = settings,
            .window = {.enablePassDisplay = [this](bool on) { passDisplay.push_back(on); },
                       .storeWritten = [this] { ++storeWrites; },
                       .tellStoreFailure =
                           [this] {
                               ++storeFailures;
                               return storeFailures == 1;
                           }},
        };
    }
    // Queues the lines and runs the routine once over them.
    void pass(void (*routine)(cross::CrossContext&), const Lines& lines) {
        for (const std::string& line : lines)
            queue.addLine(line);
        cross::CrossContext c = context();
        routine(c);
    }
    // One step of the pass display.
    void displayStep() {
        cross::CrossContext c = context();
        cross::Timer3Timer(c);
    }
    // The first column of every row, a cell with no value as "<null>".
    Lines column(const std::string& sql) {
        std::vector<Database::Row> rows;
        db.run(sql, nullptr, &rows);
        Lines out;
        for (const Database::Row& row : rows)
            out.push_back(row.at(0).value_or("<null>"));
        return out;
    }
    std::string stored(const std::string& column, const std::string& bib) {
        const Lines values =
            this->column("select ifnull(" + column +
                         ", '') from timedata where block='1' and bib='" + bib + "'");
        return values.empty() ? "" : values[0];
    }
    // The sends and the log lines from the given counts on.
    Lines sendsFrom(size_t first) const {
        const Lines all = sends();
        return Lines(all.begin() + static_cast<long>(first), all.end());
    }
    Lines logFrom(size_t first) const {
        const Lines all = logLines();
        return Lines(all.begin() + static_cast<long>(first), all.end());
    }

    FailingVfs vfs;
    std::filesystem::path folder = copyOfUpgradedStore();
    Database db{folder, vfs.name()};
    // The queries as the window makes them: Qcross and Qtop with the statements they hold
    // from creation, Qcross reading one row at a time.
    static std::vector<std::string> fixedText(std::string_view name) {
        for (const WindowQuery& q : kWindowQueries)
            if (q.name == name) return q.lines();
        return {};
    }
    TQuery Qtemp{db, "Qtemp"}, Qedit{db, "Qedit"}, Qtimedp{db, "Qtimedp"},
        Qcross{db, "Qcross", fixedText("Qcross")}, Qtop{db, "Qtop", fixedText("Qtop")},
        Qedit2{db, "Qedit2"};
    LineList queue;
    CrossFieldValues fields;
    cross::CrossSettings settings;
    std::vector<bool> passDisplay;
    int storeWrites = 0;
    int storeFailures = 0;
};

}  // namespace qpane::testing
