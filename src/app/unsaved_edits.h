// Whether the image's tables hold edits not yet saved to a file: the table texts as of the
// last open or save, compared with the grids now. The one place that answers the question, so
// an edit history can answer it later instead.
#pragma once

#include <string>
#include <vector>

#include "calibration/calibration_grids.h"

namespace veltrano {

class UnsavedEdits {
  public:
    // The grids as opened or saved: nothing unsaved.
    void MarkSaved(const CalibrationGrids& grids);
    // Nothing to save (no image).
    void Forget() { saved_.clear(); }
    bool HasUnsavedTableEdits(const CalibrationGrids& grids) const;

  private:
    static std::vector<std::string> TableTexts(const CalibrationGrids& grids);
    std::vector<std::string> saved_;
};

}  // namespace veltrano
