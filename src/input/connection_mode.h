#pragma once

#include <optional>
#include <string_view>

namespace qpane {

// How the timing device hands over its lines: directly as they come ("D"), or from its
// buffer when the console polls it ("B"). The letters are those of the settings key "Gmode"
// and of the field connMode.
enum class ConnectionMode { Direct, Buffered };

// None for any other text (the field is empty before start-up reads the settings).
constexpr std::optional<ConnectionMode> connectionModeOf(std::string_view text) {
    if (text == "D") return ConnectionMode::Direct;
    if (text == "B") return ConnectionMode::Buffered;
    return std::nullopt;
}

constexpr std::string_view textOf(ConnectionMode mode) {
    return mode == ConnectionMode::Direct ? "D" : "B";
}

}  // namespace qpane
