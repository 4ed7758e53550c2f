// Straight lines across a selected block and the smoothing of a 16x16 table, on cell texts.
// Each returns false when a cell did not hold a number: the transform then stopped with a
// message, and the cells already replaced keep their new text.
#pragma once

#include <string_view>

#include "calibration/text_grid.h"
#include "common/messages.h"
#include "editing/edit_context.h"

namespace veltrano {

// Along each selected row between the first and the last selected column (two columns at least).
bool InterpolateX(TextGrid& grid, const GridSelection& sel, Messages* messages, char sep);
// Along each selected column between the first and the last selected row (two rows at least).
bool InterpolateY(TextGrid& grid, const GridSelection& sel, Messages* messages, char sep);
// Two in-place passes (across, then down) over cells 1..16; values are stored with `format`.
bool SmoothTable(TextGrid& grid, std::string_view format, Messages* messages, char sep);

}  // namespace veltrano
