// The memory image the simulator runs with when it is given none.
#pragma once

#include <cstdint>
#include <vector>

namespace veltrano {

// The calibration library's demo image when it is built in, else a small image of the
// simulator's own: "J7ES", throttle-indexed tables, plausible values.
std::vector<std::uint8_t> DefaultEcuImage();

// The simulator's own image (always available, for tests of the simulator itself).
std::vector<std::uint8_t> OwnEcuImage();

}  // namespace veltrano
