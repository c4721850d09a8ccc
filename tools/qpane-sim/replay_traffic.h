#pragma once

#include <string>

#include "line_settings.h"
#include "race.h"
#include "timing_device.h"

namespace qpane::sim {

// The race's traffic from the device as qpane-replay actions, to follow "click CuteButton3"
// in a scenario: a "wait" up to each moment the device has lines, then one "rx" per answer
// with the bytes that the console reads. In buffered mode the device answers the polls that
// the console makes for them right away (the alpine form: one line per poll, then the end of
// the batch); meanwhile the console polls the idle device every 500 ms, and goes on doing so
// for 2 s after the last line, so that bytes that waited while it was busy get read. No
// noise.
std::string replayActions(const Race& race, DeviceMode mode, RaceKind kind, char lineEnd,
                          const LineSettings& line, int portNo);

}  // namespace qpane::sim
