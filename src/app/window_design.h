#pragma once

#include <string>
#include <vector>

namespace qpane::design {

// The items of the window's radio groups, as the window was designed.
inline const std::vector<std::string> kPortItems = {"無し",   "Port 1", "Port 2", "Port 3",
                                                    "Port 4", "Port 5", "Port 6", "Port 7",
                                                    "Port 8", "Port 9"};
inline const std::vector<std::string> kBitRateItems = {"2400", "4800", "9600"};
inline const std::vector<std::string> kShareItems = {"共有", "独立"};
inline const std::vector<std::string> kCharSizeItems = {" 7", " 8"};
inline const std::vector<std::string> kParityItems = {"Even", "Odd", "None"};
inline const std::vector<std::string> kPrecisionItems = {"1/10", "1/100"};

}  // namespace qpane::design
