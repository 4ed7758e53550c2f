#include "link/trace_format.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "common/local_time.h"

namespace veltrano {

std::string HexByte(std::uint8_t b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[b >> 4], kDigits[b & 0x0F]};
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        text += HexByte(b);
        text += ' ';
    }
    return text;
}

std::string TraceClock() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const long ms =
        static_cast<long>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    const std::tm local = LocalTime(secs);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min,
                  local.tm_sec, ms);
    return text;
}

}  // namespace veltrano
