#include "lambda/aem_frame.h"

#include <cstdio>

namespace veltrano {

void ApplyAemText(std::span<const std::uint8_t, 4> chars, LambdaReading& r, char sep) {
    std::string text(chars.begin(), chars.end());
    for (char& c : text) {
        if (c == '.')
            c = sep;
    }
    if (auto afr = ParseNumber(text, sep))
        r.AFR = *afr;
    r.lc = r.AFR >= 10.0 && r.AFR <= 20.0;
}

std::string AemLogLine(const std::tm& time, std::span<const std::uint8_t, 4> chars) {
    char line[48];
    std::snprintf(line, sizeof line, "%d:%02d:%02d   %02X %02X %02X %02X", time.tm_hour,
                  time.tm_min, time.tm_sec, chars[0], chars[1], chars[2], chars[3]);
    return line;
}

}  // namespace veltrano
