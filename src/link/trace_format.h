// Text forms of the link trace.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace veltrano {

// Each byte as two upper-case hexadecimal digits followed by one blank.
std::string HexBytes(std::span<const std::uint8_t> bytes);
// Two upper-case hexadecimal digits.
std::string HexByte(std::uint8_t b);
// The local time as "hh:mm:ss.zzz".
std::string TraceClock();

}  // namespace veltrano
