// Decoding of the live data blocks 0x01 and 0x0F into the Live data record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "link/live_record.h"

namespace veltrano {

// Payload bytes (local identifier included) a block needs to be decoded.
inline constexpr std::size_t kBlock01Size = 31;
inline constexpr std::size_t kBlock0FSize = 52;

// Decodes the payload D (D[0] the local identifier) into `rec`, overwriting the fields the
// block fills and keeping the others. A block with another identifier, or shorter than its
// table, is dropped: false and `rec` unchanged. FdadNaklon/FdadSMeshenie give the pressure.
bool DecodeLiveBlock(std::span<const std::uint8_t> D, double FdadNaklon, double FdadSMeshenie,
                     LiveRecord& rec);

// Rounds to at most two decimals as the text form "##0.##" does (a half rounds up).
double RoundTwoDecimals(double v);

}  // namespace veltrano
