#include "learning/table_surface.h"

#include <algorithm>

#include "common/text_forms.h"

namespace veltrano {

int SurfaceSize(SurfaceTable table) {
    return table == SurfaceTable::Pcn32 || table == SurfaceTable::Pcn32x32 ? 32 : 16;
}

std::optional<TableSurface> SurfaceOf(const TextGrid& grid, int size, char sep) {
    if (grid.ColCount() <= size || grid.RowCount() <= size)
        return std::nullopt;
    TableSurface s;
    s.columns = size;
    s.rows = size;
    s.heights.reserve(std::size_t(size * size));
    bool any = false;
    for (int r = 1; r <= size; ++r) {
        for (int c = 1; c <= size; ++c) {
            const std::optional<double> v = ParseNumber(grid.Cell(c, r), sep);
            any |= v.has_value();
            s.heights.push_back(v.value_or(0.0));
        }
    }
    if (!any)
        return std::nullopt;
    for (int i = 1; i <= size; ++i) {
        s.columnLabels.push_back(grid.Cell(i, 0));
        s.rowLabels.push_back(grid.Cell(0, i));
    }
    const auto [lo, hi] = std::minmax_element(s.heights.begin(), s.heights.end());
    s.low = *lo;
    s.high = *hi;
    return s;
}

LoadAxis RowAxisOf(SurfaceTable table, const FirmwareLayout& layout) {
    const bool trs = layout.firmwareName == "J5TRS" || layout.firmwareName == "J7TRS";
    switch (table) {
        case SurfaceTable::PCN:
        case SurfaceTable::RT:
        case SurfaceTable::Shdk:
            return layout.FlagPcnGridDad ? LoadAxis::Pressure : LoadAxis::Throttle;
        case SurfaceTable::UOZ:
            if (layout.FlagGBC)
                return LoadAxis::AirFill;
            [[fallthrough]];
        case SurfaceTable::AFR:
            return layout.FlagDadUozAfr ? LoadAxis::Pressure : LoadAxis::Throttle;
        case SurfaceTable::BCN:
            return layout.FlagDadUozAfr && trs ? LoadAxis::Pressure : LoadAxis::Throttle;
        case SurfaceTable::Pcn32x32:
            return LoadAxis::Pressure;
        case SurfaceTable::PcnTrt:
        case SurfaceTable::Pcn32:
            break;
    }
    return LoadAxis::Throttle;
}

std::vector<SurfaceCell> LiveCells(SurfaceTable table, const OperatingCell& op,
                                   bool FlagDadUozAfr) {
    const int size = SurfaceSize(table);
    std::vector<SurfaceCell> cells;
    auto add = [&](int c, int r) {
        const SurfaceCell cell{c, r};
        if (c >= 1 && c <= size && r >= 1 && r <= size &&
            std::find(cells.begin(), cells.end(), cell) == cells.end())
            cells.push_back(cell);
    };
    const int ignitionRow = FlagDadUozAfr ? op.DAD_RT : op.TRT_RT;
    switch (table) {
        case SurfaceTable::PCN:
        case SurfaceTable::RT:
        case SurfaceTable::Shdk:
            add(op.RPM_RT, op.LoadIndex);
            break;
        case SurfaceTable::BCN:  // the fuel cell and the ignition cell
            add(op.RPM_RT, op.LoadIndex);
            add(op.RPM_RT, ignitionRow);
            break;
        case SurfaceTable::AFR:
        case SurfaceTable::UOZ:
            add(op.RPM_RT, ignitionRow);
            break;
        case SurfaceTable::PcnTrt:
            add(op.RPM_RT, op.TRT_RT);
            break;
        case SurfaceTable::Pcn32x32:
            add(op.RPM_RT_32, op.DAD_RT_32);
            break;
        case SurfaceTable::Pcn32:
            break;
    }
    return cells;
}

}  // namespace veltrano
