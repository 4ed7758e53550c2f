#include "sim/ecu_tables.h"

#include <algorithm>
#include <cmath>

namespace veltrano {
namespace {

inline constexpr std::uint16_t kRpmQuant = 0x613C;
inline constexpr std::uint16_t kThrottleQuant = 0x7208;

// Q[pos] with linear interpolation between neighbouring positions.
double Quantise(const std::vector<std::uint8_t>& memory, std::uint16_t table, int last,
                double position) {
    const double p = std::clamp(position, 0.0, static_cast<double>(last));
    const int p0 = static_cast<int>(std::floor(p));
    const int p1 = std::min(p0 + 1, last);
    const double q0 = memory[table + p0];
    const double q1 = memory[table + p1];
    return q0 + (q1 - q0) * (p - p0);
}

double Cell(const std::vector<std::uint8_t>& memory, std::uint16_t address, int c, int r) {
    return memory[static_cast<std::uint16_t>(address + r * 16 + c)];
}

}  // namespace

TablesInUse ChooseTables(const EcuConfig& config, std::uint8_t ramCode) {
    TablesInUse t;
    t.pcn = {config.addrPcn, config.pcnByPressure};
    t.pcnReference = t.pcn;
    t.uoz = {config.addrUoz, config.uozAfrByPressure};
    t.afr = {config.addrAfr, config.uozAfrByPressure};
    switch (ramCode) {
        case 0x04:
            t.pcn = {kRamWindow, false};
            t.pcnReference = {0x7CF7, false};
            break;
        case 0x13:
            t.pcn = {kRamWindow, true};
            t.pcnReference = {config.addrPcnPressure, true};
            break;
        case 0x05:
            t.uoz = {kRamWindow, false};
            break;
        case 0x12:
            t.uoz = {kRamWindow, true};
            break;
        default:
            break;
    }
    return t;
}

Coordinates Locate(const std::vector<std::uint8_t>& memory, const EcuConfig& config,
                   const OperatingPoint& point) {
    Coordinates at;
    at.speed = Quantise(memory, kRpmQuant, 255, point.rpm / config.rpmFactor);
    at.throttle = Quantise(memory, kThrottleQuant, 100, point.throttle);
    const double span = config.pressureSpan > 0.0 ? config.pressureSpan : 82.0;
    at.pressure = std::clamp((point.pressure - config.pressureBase) / span * 240.0, 0.0, 255.0);
    return at;
}

double SurfaceValue(const double* cells, double speed, double load) {
    const double x = std::clamp(speed / 16.0, 0.0, 15.0);
    const double y = std::clamp(load / 16.0, 0.0, 15.0);
    const int c0 = static_cast<int>(x);
    const int r0 = static_cast<int>(y);
    const int c1 = std::min(c0 + 1, 15);
    const int r1 = std::min(r0 + 1, 15);
    const double fx = x - c0;
    const double fy = y - r0;
    const double top = cells[r0 * 16 + c0] * (1 - fx) + cells[r0 * 16 + c1] * fx;
    const double bottom = cells[r1 * 16 + c0] * (1 - fx) + cells[r1 * 16 + c1] * fx;
    return top * (1 - fy) + bottom * fy;
}

double TableValue(const std::vector<std::uint8_t>& memory, const TableRef& table,
                  const Coordinates& at) {
    double cells[256];
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            cells[r * 16 + c] = Cell(memory, table.address, c, r);
        }
    }
    return SurfaceValue(cells, at.speed, table.byPressure ? at.pressure : at.throttle);
}

}  // namespace veltrano
