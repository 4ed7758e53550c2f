#include "sim/lambda_frames.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace veltrano {

int Lc1ValueForAfr(double afr) {
    const long value = std::lround(afr / 14.7 * 1000.0) - 500;
    return static_cast<int>(std::clamp(value, 0L, 16383L));
}

std::vector<std::uint8_t> Lc1Packet(int function, int multiplier, int value) {
    const unsigned f = static_cast<unsigned>(function) & 7u;
    const unsigned m = static_cast<unsigned>(multiplier) & 0xFFu;
    const unsigned v = static_cast<unsigned>(value) & 0x3FFFu;
    // First word: 0 1 0 F2 F1 F0 1 M7 | 0 M6..M0; second word: 0 V13..V7 | 0 V6..V0.
    return {0xB2,
            0x82,
            static_cast<std::uint8_t>(0x42 | (f << 2) | (m >> 7)),
            static_cast<std::uint8_t>(m & 0x7F),
            static_cast<std::uint8_t>((v >> 7) & 0x7F),
            static_cast<std::uint8_t>(v & 0x7F)};
}

std::string AemLine(double afr) {
    const double shown = std::clamp(afr, 0.0, 99.9);
    char text[16];
    if (shown < 9.995) {
        std::snprintf(text, sizeof text, "%.2f", shown);
    } else {
        std::snprintf(text, sizeof text, "%.1f", shown);
    }
    return std::string(text) + "\r\n";
}

}  // namespace veltrano
