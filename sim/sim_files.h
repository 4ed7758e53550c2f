// Files the simulator program reads: the memory image, a drive script, a true-VE surface.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/engine_point.h"

namespace veltrano {

// At least 65 536 bytes; the first 64 KiB become the ECU's memory.
bool ReadImageFile(const std::string& path, std::vector<std::uint8_t>& image, std::string& error);
// Lines "seconds rpm throttle kPa [km/h]" with seconds rising; '#' starts a comment.
bool ReadScriptFile(const std::string& path, std::vector<ScriptStep>& script, std::string& error);
// 256 numbers (percent), 16 rows of load from the lowest, 16 speed columns each; blanks,
// commas or semicolons between them.
bool ReadSurfaceFile(const std::string& path, std::array<double, 256>& cells, std::string& error);

}  // namespace veltrano
