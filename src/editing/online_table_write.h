// The on-line write of a table changed by a typed value, a paste, the selection maths, a revert,
// an undo or a redo: the same requests a key edit of that table makes.
#pragma once

#include "calibration/calibration_grids.h"
#include "editing/edit_context.h"
#include "editing/edited_tables.h"

namespace veltrano {

// Does nothing unless the link runs. PCN grids: every cell's byte into the link buffer and the
// image, then the PCN write requests of the radios; BCN (OLT) and UOZ (OLT, RAM UOZ): the table
// queued; the injector correction and the idle rows (OLT mode): their bytes queued at their
// address. AFR is sent only by "Применить изменения", as after a key step.
void WriteTableOnline(EditContext& ctx, CalibrationGrids& grids, TableId id);

}  // namespace veltrano
