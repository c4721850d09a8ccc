#include "app/run_state_fields.h"

#include <functional>
#include <map>

namespace qpane {

namespace {

using Getter = std::function<std::string(const RunState&)>;

template <typename T>
Getter number(T RunState::*field) {
    return [field](const RunState& s) { return std::to_string(s.*field); };
}

Getter flag(bool RunState::*field) {
    return [field](const RunState& s) { return std::string(s.*field ? "1" : "0"); };
}

Getter text(std::string RunState::*field) {
    return [field](const RunState& s) { return s.*field; };
}

const std::map<std::string, Getter, std::less<>>& getters() {
    static const std::map<std::string, Getter, std::less<>> table = {
        {"bufferBusy", flag(&RunState::bufferBusy)},
        {"totalDone", flag(&RunState::totalDone)},
        {"sendText", text(&RunState::sendText)},
        {"iniDir", text(&RunState::iniDir)},
        {"portNo", number(&RunState::portNo)},
        {"portNo2", number(&RunState::portNo2)},
        {"pinout", number(&RunState::pinout)},
        {"bitRateIn", number(&RunState::bitRateIn)},
        {"bitRateOut", number(&RunState::bitRateOut)},
        {"port1Open", flag(&RunState::port1Open)},
        {"port2Open", flag(&RunState::port2Open)},
        {"chars1", number(&RunState::chars1)},
        {"chars2", number(&RunState::chars2)},
        {"parity1", number(&RunState::parity1)},
        {"parity2", number(&RunState::parity2)},
        {"patternNo", number(&RunState::patternNo)},
        {"waitTime", number(&RunState::waitTime)},
        {"topTime", number(&RunState::topTime)},
        {"nowTime", number(&RunState::nowTime)},
        {"diffTime", number(&RunState::diffTime)},
        {"workLine", text(&RunState::workLine)},
        {"bibNo", text(&RunState::bibNo)},
        {"timeText", text(&RunState::timeText)},
        {"rankText", text(&RunState::rankText)},
        {"rankBib", text(&RunState::rankBib)},
        {"rankTime", text(&RunState::rankTime)},
        {"rowBib", text(&RunState::rowBib)},
        {"rowTime", text(&RunState::rowTime)},
        {"connMode", text(&RunState::connMode)},
        {"rankGrp", text(&RunState::rankGrp)},
        {"topLine", text(&RunState::topLine)},
        {"logLineA", text(&RunState::logLineA)},
        {"logLineB", text(&RunState::logLineB)},
        {"logLineC", text(&RunState::logLineC)},
        {"rowABib", text(&RunState::rowABib)},
        {"rxLine", text(&RunState::rxLine)},
        {"lapNo", text(&RunState::lapNo)},
        {"blockNo", text(&RunState::blockNo)},
        {"grpNo", text(&RunState::grpNo)},
        {"firstCode", text(&RunState::firstCode)},
        {"rowNo", number(&RunState::rowNo)},
        {"rankLimit", number(&RunState::rankLimit)},
        {"shownGrp", text(&RunState::shownGrp)},
        {"shownBlock", text(&RunState::shownBlock)},
        {"scrollRows", text(&RunState::scrollRows)},
    };
    return table;
}

}  // namespace

std::optional<std::vector<FieldText>> describeField(const RunState& state, std::string_view name) {
    if (name == "boardRows") {
        std::vector<FieldText> rows;
        for (size_t i = 0; i < state.boardRows.size(); ++i)
            rows.push_back({"boardRows[" + std::to_string(i) + "]", state.boardRows[i]});
        return rows;
    }
    if (name == "iniFile") return std::vector<FieldText>{{"iniFile", state.iniFile ? "1" : "0"}};
    auto it = getters().find(name);
    if (it == getters().end()) return std::nullopt;
    return std::vector<FieldText>{{std::string(name), it->second(state)}};
}

}  // namespace qpane
