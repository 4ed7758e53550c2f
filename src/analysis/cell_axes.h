// The values along the fuel table's axes as a log shows them, for labelling the per-cell map
// when no image tells the axes: per column the lowest rpm among its rows, per row the lowest
// throttle (or pressure). A row lies at or above its cell's breakpoint, so the lowest value
// seen is the breakpoint as closely as the log can tell it.
#pragma once

#include <array>
#include <optional>

#include "analysis/log_table.h"
#include "analysis/row_filter.h"

namespace veltrano {

struct LoggedAxes {
    // Index k - 1 for cell k; empty where no row lies in that column (row).
    std::array<std::optional<double>, 16> rpm;
    std::array<std::optional<double>, 16> load;
};

LoggedAxes AxesOfLog(const LogTable& table, const RowCells& cells, bool loadIsPressure);

}  // namespace veltrano
