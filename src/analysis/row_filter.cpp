#include "analysis/row_filter.h"

#include <cstdlib>

#include "learning/axis_search.h"

namespace veltrano {

RowCells CellsOfRows(const LogTable& table, const CellSource& source) {
    const std::size_t n = table.Rows();
    RowCells out{std::vector<std::uint8_t>(n), std::vector<std::uint8_t>(n)};
    if (source.origin == CellSource::Origin::Logged) {
        const auto cs = table.Column(logcol::RPM_RT);
        const auto rs = table.Column(source.loadIsPressure ? logcol::DAD_RT : logcol::TRT_RT);
        for (std::size_t i = 0; i < n; ++i) {
            const bool in = cs[i] >= 1 && cs[i] <= 16 && rs[i] >= 1 && rs[i] <= 16;
            out.c[i] = in ? static_cast<std::uint8_t>(cs[i]) : 0;
            out.r[i] = in ? static_cast<std::uint8_t>(rs[i]) : 0;
        }
        return out;
    }
    // The cycle's search keeps the last index when no rule holds; so does this.
    const AxisRule rpmRule = RpmAxisRule(source.rpmAxis);
    const AxisRule loadRule =
        source.loadIsPressure ? DadAxisRule(source.loadAxis) : ThrottleAxisRule();
    const auto rpm = table.Column(logcol::Rpm);
    const auto load = table.Column(source.loadIsPressure ? logcol::Pressure : logcol::Throttle);
    int c = 0;
    int r = 0;
    for (std::size_t i = 0; i < n; ++i) {
        c = AxisSearch(rpm[i], source.rpmAxis, rpmRule, c);
        r = AxisSearch(load[i], source.loadAxis, loadRule, r);
        out.c[i] = static_cast<std::uint8_t>(c);
        out.r[i] = static_cast<std::uint8_t>(r);
    }
    return out;
}

std::vector<std::uint8_t> FilterRows(const LogTable& table, const RowCells& cells,
                                     const RowFilter& f) {
    const std::size_t n = table.Rows();
    std::vector<std::uint8_t> keep(n, 1);
    const auto coolant = table.Column(logcol::CoolantTemp);
    const auto fuelOff = table.Column(logcol::FlagFuelOff);
    const auto tps = table.Column(logcol::Throttle);
    const auto gtcHi = table.Column(logcol::CoeffCorrGtcHi);
    const auto idle = table.Column(logcol::FlagXX);
    int steady = 0;
    int prevC = 0;
    int prevR = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // The cycle's stationarity: a jump of more than one cell, fuel cut, enrichment or a
        // closed throttle restarts the run.
        const bool jumped = std::abs(cells.c[i] - prevC) > 1 || std::abs(cells.r[i] - prevR) > 1;
        const bool reset = jumped || fuelOff[i] == 1 || gtcHi[i] > 0 || tps[i] < 2.0f ||
                           (tps[i] < 1.0f && idle[i] == 0);
        steady = reset ? 0 : steady + 1;
        prevC = cells.c[i];
        prevR = cells.r[i];
        const bool pass = (!f.warm || coolant[i] >= static_cast<float>(f.learnCoolant)) &&
                          (!f.noFuelCut || fuelOff[i] != 1) &&
                          (!f.throttleOpen || tps[i] >= 2.0f) &&
                          (!f.stationary || steady >= f.stationaryRecords);
        keep[i] = pass ? 1 : 0;
    }
    return keep;
}

}  // namespace veltrano
