// The grids' key handlers. Grids have no in-place editor: a key steps every selected value.
// Each handler takes the key's character (a Unicode code point) and the grid's selection and
// runs on the window thread.
#pragma once

#include "calibration/text_grid.h"
#include "editing/edit_context.h"

namespace veltrano {

// Fuel-fill correction 16x16 (SG_PCN) and 32x32 pressure-indexed (SG_PCN_32x32): text steps of
// 0.01 off line, byte steps mirrored into the link buffer and the image on line, the
// interpolation keys, and the fuel-table write requests after every key.
void SG_PCNKeyPress(EditContext& ctx, TextGrid& SG_PCN, const GridSelection& sel, char32_t key);
void SG_PCN_32x32KeyPress(EditContext& ctx, TextGrid& SG_PCN_32x32, const GridSelection& sel,
                          char32_t key);

// Base cycle fill: steps of 5; on line in OLT mode the table is queued.
void SG_BCNKeyPress(EditContext& ctx, TextGrid& SG_BCN, const GridSelection& sel, char32_t key);
// Ignition advance (rows 1..17, the base-curve row included): steps of 0.5; on line the table is
// queued for an OLT or a RAM write.
void SG_UOZKeyPress(EditContext& ctx, TextGrid& SG_UOZ, const GridSelection& sel, char32_t key);
// Target mixture: steps of 0.05, grid only.
void SG_AFRKeyPress(EditContext& ctx, TextGrid& SG_AFR, const GridSelection& sel, char32_t key);
// Injector dynamic correction: "+" and "-" step by 0.01; on line in OLT mode the 16 values are
// written into the image and queued at 0x71D8.
void RzStringGrid1KeyPress(EditContext& ctx, TextGrid& RzStringGrid1, const GridSelection& sel,
                           char32_t key);

// The DATA tab's byte editors: on line in OLT mode only, and only while no earlier small-table
// write is pending. They step the stored bytes, write them into the image and queue them.
void RzStringGrid3KeyPress(EditContext& ctx, TextGrid& RzStringGrid3, char32_t key);
void RzStringGrid4KeyPress(EditContext& ctx, TextGrid& RzStringGrid4, const GridSelection& sel,
                           char32_t key);
void RzStringGrid5KeyPress(EditContext& ctx, TextGrid& RzStringGrid5, const GridSelection& sel,
                           char32_t key);
void RzStringGrid6KeyPress(EditContext& ctx, TextGrid& RzStringGrid6, const GridSelection& sel,
                           char32_t key);
void RzStringGrid7KeyPress(EditContext& ctx, TextGrid& RzStringGrid7, char32_t key);
void RzStringGrid8KeyPress(EditContext& ctx, TextGrid& RzStringGrid8, char32_t key);
void SG_Min_Inj_TimeKeyPress(EditContext& ctx, TextGrid& SG_Min_Inj_Time, char32_t key);

}  // namespace veltrano
