// Trouble codes from the payload of a ReadDiagnosticTroubleCodesByStatus answer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veltrano {

// D[0] is the count N; code k is "P" + hex D[1 + 3k] + hex D[2 + 3k]; its status byte is not
// used. N of 0 or above 9 gives no codes. A payload shorter than announced keeps the codes
// whose two bytes it holds.
std::vector<std::string> ParseTroubleCodes(std::span<const std::uint8_t> D);

}  // namespace veltrano
