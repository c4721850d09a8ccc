#pragma once

#include <termios.h>

#include "serial/comm_device.h"

namespace qpane {

// The speed constant of a bit rate; false when termios has none for it.
bool speedForBitRate(int bitRate, speed_t& speed);

// Writes the line settings and flag word of dcb into t, in raw mode: no line editing, no echo,
// no character translation, modem control lines ignored for reading, reads return as soon as
// one byte is there. False when a value cannot be expressed (an unknown bit rate, a character
// size outside 5 to 8); t is then unchanged.
bool termiosFromDcb(const CommDcb& dcb, termios& t);

// Whether the device took what was asked: bit rate, character size, parity, stop bits and
// hardware handshake.
bool lineSettingsMatch(const termios& wanted, const termios& actual);

// The line settings of t as a device control block (the flag word as far as termios has it).
void dcbFromTermios(const termios& t, CommDcb& dcb);

}  // namespace qpane
