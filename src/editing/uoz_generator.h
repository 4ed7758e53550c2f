// The ignition table generator: every cell of a speed column gets the column's base advance
// (SG_UOZ row 17), scaled up linearly as the load falls, twice the base at zero load, never
// above 39 degrees and never below 0.
#pragma once

#include <cstdint>
#include <string>

#include "calibration/calibration_grids.h"
#include "editing/edit_context.h"

namespace veltrano {

inline constexpr double kUozLimit = 39.0;
inline constexpr std::uint16_t kAddrGeneratedUoz = 0x6DC8;

// "Сгенерировать": nothing without an open image; then the generator the image's ignition
// axis calls for. `Edit2` is the load scale's text.
void Button3Click(EditContext& ctx, CalibrationGrids& grids, const std::string& Edit2);

// Each returns false when a text was not a number (or the scale not above 0): the generator
// stopped with a message; cells generated before keep their values.
// Pressure-indexed: the load of row r is 4 x its label.
bool generatorUozDAD(TextGrid& Table, const std::string& Edit2, Messages* messages, char sep);
// Cycle-air-fill-indexed: the load of row r is its label; the table also goes into the image at
// 0x6DC8 (only when every cell was generated).
bool generatorUozGBC(TextGrid& table, TFirmware& firmware, const std::string& Edit2,
                     Messages* messages, char sep);
// Throttle-indexed: the load of cell (c, r) is the BCN of the same cell.
bool generatedUOZ(const TextGrid& TableGBC, TextGrid& TableUOZ, const std::string& Edit2,
                  Messages* messages, char sep);

}  // namespace veltrano
