#include "app/unsaved_edits.h"

namespace veltrano {

// The grids a save writes into the image; the live-view grids and the ignition generator's
// base curve (row 17 of the ignition grid) are not part of the image.
std::vector<std::string> UnsavedEdits::TableTexts(const CalibrationGrids& g) {
    const TextGrid* tables[] = {
        &g.SG_PCN,        &g.SG_PCN_TRT,    &g.SG_PCN_32,     &g.SG_PCN_32x32,  &g.SG_BCN,
        &g.SG_UOZ,        &g.SG_AFR,        &g.RzStringGrid1, &g.RzStringGrid3, &g.RzStringGrid4,
        &g.RzStringGrid5, &g.RzStringGrid6, &g.RzStringGrid7, &g.RzStringGrid8, &g.SG_Min_Inj_Time};
    std::vector<std::string> texts;
    for (const TextGrid* grid : tables) {
        const int rows = grid == &g.SG_UOZ ? 17 : grid->RowCount();
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                texts.push_back(grid->Cell(c, r));
    }
    return texts;
}

void UnsavedEdits::MarkSaved(const CalibrationGrids& grids) {
    saved_ = TableTexts(grids);
}

bool UnsavedEdits::HasUnsavedTableEdits(const CalibrationGrids& grids) const {
    return !saved_.empty() && saved_ != TableTexts(grids);
}

}  // namespace veltrano
