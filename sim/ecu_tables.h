// How the simulated ECU reads its calibration tables: which copy is in use (flash, on-line
// area or the RAM window chosen by the substitution code) and where the operating point
// falls in them (quantisation tables, bilinear interpolation).
#pragma once

#include <cstdint>
#include <vector>

#include "sim/ecu_config.h"
#include "sim/engine_point.h"

namespace veltrano {

inline constexpr std::uint16_t kRamWindow = 0xFE00;

struct TableRef {
    std::uint16_t address = 0;
    bool byPressure = false;  // rows are manifold pressure, else throttle
};

struct TablesInUse {
    TableRef pcn;
    TableRef pcnReference;  // the calibrated table the engine's true demand is measured against
    TableRef uoz;
    TableRef afr;
};

// Substitution codes: 4 (PCN by throttle), 0x13 (PCN by pressure), 5 (UOZ by throttle) and
// 0x12 (UOZ by pressure) put that table in the RAM window; anything else leaves flash tables.
TablesInUse ChooseTables(const EcuConfig& config, std::uint8_t ramCode);

// Table coordinates, 16 steps per cell (0 to 255).
struct Coordinates {
    double speed = 0.0;
    double throttle = 0.0;
    double pressure = 0.0;
};

Coordinates Locate(const std::vector<std::uint8_t>& memory, const EcuConfig& config,
                   const OperatingPoint& point);

// The 16x16 table byte value at the coordinates, interpolated between cell centres.
double TableValue(const std::vector<std::uint8_t>& memory, const TableRef& table,
                  const Coordinates& at);

// The same interpolation over a 16x16 array of doubles (row-major, rows are load).
double SurfaceValue(const double* cells, double speed, double load);

}  // namespace veltrano
