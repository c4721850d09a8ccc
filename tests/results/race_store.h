#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "platform/file_calls.h"
#include "platform/paths.h"
#include "replay_session.h"
#include "results/read_only_store.h"
#include "results/result_list.h"
#include "scenario.h"

namespace qpane::results::testing {

// A root folder of its own per test, whose store a replay scenario fills as the console would
// in a race; removed afterwards.
class RaceStore : public ::testing::Test {
  protected:
    void SetUp() override { root_ = file_calls::makeTemporaryFolder("qpane-results-"); }
    void TearDown() override {
        store_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    // Runs a scenario on the root; its transcript is kept for messages.
    void replay(const std::string& scenario) {
        std::istringstream in(scenario);
        const auto actions = replay::parseScenario(in);
        std::ostringstream out;
        replay::ReplaySession session(root_, out);
        session.run(actions);
        transcript_ += out.str();
    }

    // A console with the store upgraded (blocks 0 to 9), no race started.
    void console(const std::string& pattern) {
        replay("ini Portno 1\nini Pinout 1\nini Portno2 2\nini Disppt " + pattern +
               "\nstart\nclose\n");
    }
    void sql(const std::string& statement) {
        std::string quoted;
        for (char c : statement) {
            if (c == '"' || c == '\\') quoted += '\\';
            quoted += c;
        }
        replay("sql \"" + quoted + "\"\n");
    }

    ResultList list(Discipline d, const std::string& block,
                    const std::optional<std::string>& group = std::nullopt) {
        if (!store_) store_ = std::make_unique<ReadOnlyStore>(dataFolder());
        return readResultList(store_->handle(), d, block, group);
    }

    std::filesystem::path dataFolder() const { return Paths(root_).dataFolder(); }
    const std::filesystem::path& root() const { return root_; }
    const std::string& transcript() const { return transcript_; }

  private:
    std::filesystem::path root_;
    std::string transcript_;
    std::unique_ptr<ReadOnlyStore> store_;
};

// The columns of every row of group g but the group, joined by "|", for compact expectations.
inline std::vector<std::string> rankLines(const ResultList& l, size_t g) {
    std::vector<std::string> out;
    for (const ResultRow& r : l.groups.at(g).rows) {
        std::vector<std::string> c = columnsOf(l.discipline, r);
        c.erase(c.begin() + 2);
        std::string line;
        for (const std::string& v : c)
            line += (line.empty() && &v == &c.front() ? "" : "|") + v;
        out.push_back(line);
    }
    return out;
}

}  // namespace qpane::results::testing
