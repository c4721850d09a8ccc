#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_state.h"

namespace qpane {

// A run-state field as text: integers in decimal, flags as 0 or 1, texts as they are.
struct FieldText {
    std::string name;  // "boardRows[3]" for an element of an array
    std::string value;
};

// The field of that name (all 20 elements for boardRows); nothing for an unknown name.
std::optional<std::vector<FieldText>> describeField(const RunState& state, std::string_view name);

}  // namespace qpane
