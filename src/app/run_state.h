#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "board/board_row.h"
#include "board/port_sharing.h"
#include "input/connection_mode.h"
#include "input/intake.h"
#include "patterns/pattern_number.h"
#include "platform/settings_file.h"

namespace qpane {

// The working data that all routines of the main window share, in declared order, and the
// records of the areas that keep their own (the intake's). Texts start empty, numbers and
// flags at zero; start-up restores the settings fields.
struct RunState : IntakeState {
    // Settings and ports
    std::unique_ptr<SettingsFile> iniFile;  // exists only while settings are read or written
    bool totalDone = false;
    std::string sendText;
    std::string iniDir;
    int portNo = 0;
    int portNo2 = 0;
    int pinout = 0;
    int bitRateIn = 0;
    int bitRateOut = 0;
    bool port1Open = false;
    bool port2Open = false;
    int chars1 = 0;
    int chars2 = 0;
    int parity1 = 0;
    int parity2 = 0;
    int patternNo = 0;
    int waitTime = 0;

    // Times and the line being processed
    int32_t topTime = 0;
    int32_t nowTime = 0;
    int32_t diffTime = 0;
    std::string workLine;
    std::string bibNo;
    std::string timeText;
    std::string rankText;
    std::string rankBib;
    std::string rankTime;
    std::string rowBib;
    std::string rowTime;
    std::string connMode;
    std::string rankGrp;
    std::string topLine;
    std::string logLineA;
    std::string logLineB;
    std::string logLineC;
    std::string rowABib;
    std::string lapNo;
    std::string blockNo;
    std::string grpNo;
    std::string firstCode;

    // Board rows and display
    int rowNo = 0;
    int rankLimit = 0;
    BoardRows boardRows;
    std::string shownGrp;
    std::string shownBlock;
    std::string scrollRows;

    // The domain values of the fields. The fields keep what the settings file holds, so
    // that a hand-edited value is written back as it was; the window reads them through
    // these, and hands the lower layers the values.
    std::optional<PatternNumber> pattern() const { return patternNumberOf(patternNo); }
    PatternFamily patternFamily() const { return patternFamilyOf(patternNo); }
    std::optional<ConnectionMode> connectionMode() const { return connectionModeOf(connMode); }
    PortSharing portSharing() const { return portSharingOf(pinout); }
};

}  // namespace qpane
