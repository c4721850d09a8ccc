#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qpane {

// The query objects of the main window, bound to Db1, with the statement each holds from
// creation ("" for none). Qed1 to Qed3 hold the statement of Qtop and are not used.
struct WindowQuery {
    std::string_view name;
    std::string_view fixedText;

    // The fixed text as the lines of a query's statement.
    std::vector<std::string> lines() const {
        if (fixedText.empty()) return {};
        return {std::string(fixedText)};
    }
};

inline constexpr std::string_view kQtopFixedText =
    "select * from timedata order by lap desc,totaltv";

inline constexpr WindowQuery kWindowQueries[] = {
    {"Qedit", ""},
    {"Qtemp", ""},
    {"Qtimedp", ""},
    {"Qcross", "select * from crosst where sumi='0' order by uc"},
    {"Qedit2", ""},
    {"Qmente", ""},
    {"Qedit3", ""},
    {"Qgroup", ""},
    {"Qtop", kQtopFixedText},
    {"Qed1", kQtopFixedText},
    {"Qed2", kQtopFixedText},
    {"Qed3", kQtopFixedText},
};

}  // namespace qpane
