#pragma once

namespace qpane {

// Whether the board listens on the timing input's port (CommX1) or has a port of its own
// (CommX2).
enum class PortSharing { Shared, Separate };

// The sharing that the field pinout (and the settings key "Pinout") stands for: 0, the first
// choice of the port page, shares the port; any other value, a hand-edited one too,
// separates them.
constexpr PortSharing portSharingOf(int pinout) {
    return pinout == 0 ? PortSharing::Shared : PortSharing::Separate;
}

}  // namespace qpane
