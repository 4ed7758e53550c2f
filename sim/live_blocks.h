// The payloads of the live data answers (service 0x61): block 0x01, 37 bytes, and block
// 0x0F, 52 bytes, each starting with its local identifier.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/ecu_config.h"
#include "sim/engine_model.h"

namespace veltrano {

std::vector<std::uint8_t> LiveBlock01(const EngineState& s);
std::vector<std::uint8_t> LiveBlock0F(const EngineState& s, const EcuConfig& config);

// Byte helpers shared by both blocks; values are rounded and kept within the byte or word.
std::uint8_t ByteOf(double value);
void PutWord(std::vector<std::uint8_t>& d, std::size_t at, double value);

}  // namespace veltrano
