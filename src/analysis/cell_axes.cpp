#include "analysis/cell_axes.h"

#include <algorithm>

namespace veltrano {
namespace {

void Lower(std::optional<double>& at, double v) {
    at = at ? std::min(*at, v) : v;
}

}  // namespace

LoggedAxes AxesOfLog(const LogTable& table, const RowCells& cells, bool loadIsPressure) {
    LoggedAxes out;
    const auto rpm = table.Column(logcol::Rpm);
    const auto load = table.Column(loadIsPressure ? logcol::Pressure : logcol::Throttle);
    const std::size_t n = std::min(table.Rows(), cells.c.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int c = cells.c[i];
        const int r = cells.r[i];
        if (c < 1 || c > 16 || r < 1 || r > 16)
            continue;
        Lower(out.rpm[static_cast<std::size_t>(c - 1)], rpm[i]);
        Lower(out.load[static_cast<std::size_t>(r - 1)], load[i]);
    }
    return out;
}

}  // namespace veltrano
