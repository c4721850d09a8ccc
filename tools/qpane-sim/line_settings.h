#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace qpane::sim {

enum class Parity { Even, Odd, None };

// The settings of a serial line as the device at its far end plays them. A pseudo-terminal
// carries every byte with 8 bits and no parity whatever either side asks, so the simulator
// applies the character size itself: with 7 data bits the eighth bit of a byte never
// reaches the other side.
struct LineSettings {
    int bitRate = 9600;
    int dataBits = 8;
    Parity parity = Parity::None;

    // "9600 7E1"
    std::string text() const;
};

// The byte that the far side reads when b goes out on the line.
inline unsigned char carried(const LineSettings& line, unsigned char b) {
    return line.dataBits == 7 ? static_cast<unsigned char>(b & 0x7F) : b;
}
std::string carried(const LineSettings& line, std::string_view bytes);

// Noise on a bad line: each byte is hit with the given probability, and a hit flips one of
// its data bits, which is what the parity bit would have caught. The console's port on a
// pseudo-terminal checks no parity, so it reads the damaged byte, as a port without a
// parity check does. Seeded, so that a run can be repeated.
class BadLine {
  public:
    BadLine(double errorRate, uint32_t seed) : rate_(errorRate), random_(seed) {}
    bool active() const { return rate_ > 0; }
    std::string pass(std::string bytes, int dataBits);
    uint64_t errors() const { return errors_; }

  private:
    double rate_;
    std::mt19937 random_;
    uint64_t errors_ = 0;
};

}  // namespace qpane::sim
