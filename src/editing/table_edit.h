// One edit: the cells it changed, each with its state before and after (text and the byte pair,
// so undoing gives back the exact bytes), and the image bytes it changed directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calibration/calibration_grids.h"
#include "calibration/firmware.h"
#include "editing/edited_tables.h"

namespace veltrano {

struct CellChange {
    TableId table = TableId::PCN;
    CellRef cell;
    TextGrid::CellState before;
    TextGrid::CellState after;
};

struct ImageChange {
    std::size_t addr = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
};

struct TableEdit {
    std::string what;  // "интерполяция по X", shown in "Отменить: ..."
    std::vector<CellChange> cells;
    std::vector<ImageChange> image;

    bool Empty() const { return cells.empty() && image.empty(); }
    // The tables whose cells changed, each once, in the order first seen.
    std::vector<TableId> Tables() const;
    std::vector<CellRef> CellsOf(TableId id) const;
};

// Watches tables while something edits them: the state before, then the difference after.
// With no firmware only the grids are watched (a learning update writes no image byte).
class EditRecorder {
  public:
    EditRecorder(const CalibrationGrids& grids, const TFirmware* firmware,
                 std::vector<TableId> tables);
    TableEdit Finish(std::string what, const CalibrationGrids& grids,
                     const TFirmware* firmware) const;

  private:
    std::vector<TableId> tables_;
    std::vector<std::vector<TextGrid::CellState>> before_;
    std::vector<std::uint8_t> image_;
};

// Puts the edit's `before` side back (undo) or its `after` side (redo).
void ApplyEdit(const TableEdit& edit, bool redo, CalibrationGrids& grids, TFirmware& firmware);

}  // namespace veltrano
