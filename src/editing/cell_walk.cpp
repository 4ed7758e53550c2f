#include "editing/cell_walk.h"

#include <algorithm>

#include "calibration/table_catalogue.h"
#include "common/text_forms.h"

namespace veltrano {

GridSelection ClipSelection(const TextGrid& grid, const GridSelection& sel) {
    GridSelection s;
    s.left = std::max(sel.left, 0);
    s.top = std::max(sel.top, 0);
    s.right = std::min(sel.right, grid.ColCount() - 1);
    s.bottom = std::min(sel.bottom, grid.RowCount() - 1);
    return s;
}

std::optional<double> CellNumber(const TextGrid& grid, int col, int row, Messages* messages,
                                 char sep) {
    const std::string& text = grid.Cell(col, row);
    std::optional<double> v = ParseNumber(text, sep);
    if (!v && messages != nullptr)
        messages->Warning(CellErrorMessage({col, row, text}));
    return v;
}

bool StepCellTexts(TextGrid& grid, const GridSelection& sel, double step, Messages* messages,
                   char sep) {
    return ForEachSelectedCell(grid, sel, [&](int c, int r) {
        const std::optional<double> v = CellNumber(grid, c, r, messages, sep);
        if (!v)
            return false;
        grid.SetCell(c, r, GeneralText(*v + step, sep));
        return true;
    });
}

}  // namespace veltrano
