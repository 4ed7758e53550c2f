// The tables an edit can change, with where each lies in its grid and in the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calibration/calibration_grids.h"
#include "calibration/firmware_layout.h"
#include "calibration/table_catalogue.h"

namespace veltrano {

enum class TableId {
    PCN,
    PCN_32x32,
    BCN,
    UOZ,
    AFR,
    InjDynamic,  // RzStringGrid1
    IdleAfr,     // RzStringGrid4
    IdleValve,   // RzStringGrid5
    IdleRpm,     // RzStringGrid6
};

inline constexpr TableId kAllTables[] = {TableId::PCN,     TableId::PCN_32x32, TableId::BCN,
                                         TableId::UOZ,     TableId::AFR,       TableId::InjDynamic,
                                         TableId::IdleAfr, TableId::IdleValve, TableId::IdleRpm};

// A cell of a grid (column, row as the grid counts them).
struct CellRef {
    int col = 0;
    int row = 0;
    bool operator==(const CellRef&) const = default;
    auto operator<=>(const CellRef&) const = default;
};

// Where a table's values lie in its grid: columns first..last, rows first..last.
struct ValueArea {
    int firstCol = 1;
    int lastCol = 16;
    int firstRow = 1;
    int lastRow = 16;
    bool Contains(int c, int r) const {
        return c >= firstCol && c <= lastCol && r >= firstRow && r <= lastRow;
    }
};

// The grid's object name in the window ("SG_PCN", "RzStringGrid4", ...).
const char* GridName(TableId id);
std::optional<TableId> TableByGridName(std::string_view name);
TextGrid& GridOf(CalibrationGrids& grids, TableId id);
const TextGrid& GridOf(const CalibrationGrids& grids, TableId id);
// Every value cell of the table (UOZ: rows 1..17, the base curve included).
ValueArea AreaOf(TableId id);

// Where the table's image bytes start for this layout; nothing when the layout has no address.
std::optional<std::size_t> StartOf(TableId id, const FirmwareLayout& layout);
// The image byte index of a cell of the table, relative to its start; nothing for cells outside
// the stored table (the UOZ base-curve row).
std::optional<std::size_t> ByteIndexOf(TableId id, int col, int row);

// A byte's text as the table's grid shows it, and the byte a text stands for.
std::string ByteTextOf(TableId id, std::uint8_t b, int bcnMultiplier, char sep);
std::optional<std::uint8_t> TextByteOf(TableId id, std::string_view text, int bcnMultiplier,
                                       char sep);
// The byte a cell stands for (its pair's byte while its text is unchanged).
std::optional<std::uint8_t> CellByteOf(const TextGrid& grid, TableId id, int col, int row,
                                       int bcnMultiplier, char sep);
// The value a byte shows.
double ByteValueOf(TableId id, std::uint8_t b, int bcnMultiplier);
// The byte range as values: the smallest and the largest value a byte can show.
std::pair<double, double> ValueRangeOf(TableId id, int bcnMultiplier);

}  // namespace veltrano
