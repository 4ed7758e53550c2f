// The table context menu of SG_BCN, SG_PCN, SG_AFR and SG_UOZ: the grid is that of the active
// tab, found by the tab's position in the page control (hidden tabs counted).
#pragma once

#include "calibration/calibration_grids.h"
#include "editing/edit_context.h"

namespace veltrano {

// Page positions of the table tabs.
inline constexpr int kPageBcn = 0;
inline constexpr int kPagePcn = 1;
inline constexpr int kPageAfr = 2;
inline constexpr int kPageUoz = 3;

// "Интерполяция по оси Х"
void N1Click(EditContext& ctx, CalibrationGrids& grids, int page, const GridSelection& sel);
// "Интерполяция по оси Y"
void Y1Click(EditContext& ctx, CalibrationGrids& grids, int page, const GridSelection& sel);
// "Сгладить таблицу"
void N3Click(EditContext& ctx, CalibrationGrids& grids, int page);

}  // namespace veltrano
