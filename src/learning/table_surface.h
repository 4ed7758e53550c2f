// A table grid as a surface over its two axes: the heights of its cells, the grid's own axis
// labels, and the cells where the engine runs while connected.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/firmware_layout.h"
#include "calibration/text_grid.h"
#include "learning/operating_point.h"

namespace veltrano {

// The table grids that have a surface, by what they show.
enum class SurfaceTable { BCN, PCN, AFR, UOZ, RT, PcnTrt, Shdk, Pcn32, Pcn32x32 };

// What the rows of a table follow.
enum class LoadAxis { Throttle, Pressure, AirFill };

struct SurfaceCell {
    int c = 0;  // 1-based column (speed point)
    int r = 0;  // 1-based row (load point)
    bool operator==(const SurfaceCell&) const = default;
};

struct TableSurface {
    int columns = 0;
    int rows = 0;
    std::vector<std::string> columnLabels;  // the grid's row 0, one per column
    std::vector<std::string> rowLabels;     // the grid's column 0, one per row
    std::vector<double> heights;            // row after row, `columns` values each
    double low = 0;                         // the smallest and largest height
    double high = 0;

    double Height(int c, int r) const { return heights[std::size_t((r - 1) * columns + c - 1)]; }
    bool operator==(const TableSurface&) const = default;
};

// Cells per side: 32 for the 32x32 tables, 16 otherwise (the ignition grid's extra row, the
// generator's base curve, is not part of the table).
int SurfaceSize(SurfaceTable table);

// The surface of a table grid. A cell that is not a number lies at 0; a grid without a single
// number (no image open) has no surface.
std::optional<TableSurface> SurfaceOf(const TextGrid& grid, int size, char sep);

// What the table's rows follow for the open image, as the open labels them.
LoadAxis RowAxisOf(SurfaceTable table, const FirmwareLayout& layout);

// The cells of the table that the grids paint as the operating point (none for PCN_32, whose
// grid paints none); cells outside the table are left out.
std::vector<SurfaceCell> LiveCells(SurfaceTable table, const OperatingCell& op, bool FlagDadUozAfr);

}  // namespace veltrano
