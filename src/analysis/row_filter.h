// Filters over the rows of a log, like the learning gates: warm engine, no fuel cut,
// throttle open, stationary. The per-cell map and the plots obey the same mask.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/log_table.h"
#include "learning/learning_options.h"

namespace veltrano {

// Where a row lies in the 16x16 fuel table.
struct CellSource {
    enum class Origin { Logged, Recomputed };
    Origin origin = Origin::Logged;
    // Logged: RPM_RT with TRT_RT, or with DAD_RT when the load axis is the pressure.
    // Recomputed: the axis search over RPM and TPS (or Pressure) with these axes.
    bool loadIsPressure = false;
    std::array<std::int32_t, 16> rpmAxis{};
    std::array<std::int32_t, 16> loadAxis{};
};

// The 1-based cell (c, r) of every row; 0 where the row lies in no cell yet.
struct RowCells {
    std::vector<std::uint8_t> c;
    std::vector<std::uint8_t> r;
};
RowCells CellsOfRows(const LogTable& table, const CellSource& source);

struct RowFilter {
    bool warm = true;  // coolant at least learnCoolant
    int learnCoolant = kLearnCoolantRange.start;
    bool noFuelCut = true;
    bool throttleOpen = true;  // throttle at least 2 %
    bool stationary = true;    // as the cycle's stationarity, over stationaryRecords rows
    int stationaryRecords = kStationaryRange.start;
};

// One entry per row: 1 when the row passes every chosen filter.
std::vector<std::uint8_t> FilterRows(const LogTable& table, const RowCells& cells,
                                     const RowFilter& filter);

}  // namespace veltrano
