// Walking a grid's selection and stepping cell texts.
#pragma once

#include <optional>

#include "calibration/text_grid.h"
#include "common/messages.h"
#include "editing/edit_context.h"

namespace veltrano {

// The selection cut to the grid's cells.
GridSelection ClipSelection(const TextGrid& grid, const GridSelection& sel);

// Visits the selected cells column by column from the left, top to bottom within a column,
// skipping cells with empty text. fn(col, row) returns false to stop the walk; the walk then
// returns false.
template <class Fn>
bool ForEachSelectedCell(const TextGrid& grid, const GridSelection& sel, Fn fn) {
    const GridSelection s = ClipSelection(grid, sel);
    for (int c = s.left; c <= s.right; ++c) {
        for (int r = s.top; r <= s.bottom; ++r) {
            if (grid.Cell(c, r).empty())
                continue;
            if (!fn(c, r))
                return false;
        }
    }
    return true;
}

// The number in a cell; a text that is not a number is reported and gives nothing.
std::optional<double> CellNumber(const TextGrid& grid, int col, int row, Messages* messages,
                                 char sep);

// Adds `step` to every selected non-empty cell and writes the result as general text, with no
// limits. Stops at the first cell that is not a number (reported): false.
bool StepCellTexts(TextGrid& grid, const GridSelection& sel, double step, Messages* messages,
                   char sep);

}  // namespace veltrano
