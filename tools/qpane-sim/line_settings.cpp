#include "line_settings.h"

namespace qpane::sim {

std::string LineSettings::text() const {
    const char parityLetter = parity == Parity::Even ? 'E' : parity == Parity::Odd ? 'O' : 'N';
    return std::to_string(bitRate) + " " + std::to_string(dataBits) + parityLetter + "1";
}

std::string carried(const LineSettings& line, std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        c = static_cast<char>(carried(line, static_cast<unsigned char>(c)));
    return out;
}

std::string BadLine::pass(std::string bytes, int dataBits) {
    if (rate_ <= 0) return bytes;
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> bit(0, dataBits - 1);
    for (char& c : bytes) {
        if (chance(random_) >= rate_) continue;
        c = static_cast<char>(static_cast<unsigned char>(c) ^ (1u << bit(random_)));
        ++errors_;
    }
    return bytes;
}

}  // namespace qpane::sim
