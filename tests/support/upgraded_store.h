// A data folder with the console's store upgraded (blocks 0 to 9), made once per test program
// and removed when it ends: the pattern tests copy it instead of upgrading a store each.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/message_boxes.h"
#include "store/database.h"
#include "store/query.h"
#include "store/tableupdate.h"

namespace qpane::testing {

// The folder's name, worked out again at exit: the static below is gone by then.
inline std::filesystem::path upgradedStoreName() {
    return std::filesystem::temp_directory_path() /
           ("qpane-upgraded-store-" + std::to_string(::getpid()));
}

inline const std::filesystem::path& upgradedStoreFolder() {
    namespace fs = std::filesystem;
    static const fs::path folder = [] {
        class NoBoxes : public MessageBoxes {
          public:
            bool askYesNo(const std::string&, const std::string&) override { return false; }
            void message(const std::string&) override {}
            void error(const std::string&) override {}
        };
        const fs::path dir = upgradedStoreName();
        fs::remove_all(dir);
        {
            Database db(dir);
            TQuery q(db, "Qedit");
            NoBoxes boxes;
            tableupdate(q, boxes);
        }
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(upgradedStoreName(), ec);
        });
        return dir;
    }();
    return folder;
}

}  // namespace qpane::testing
