// The fuel-fill correction tables while the link runs: the link buffer, the image and the grid
// kept in step, and the write requests that follow an edit.
#pragma once

#include "calibration/text_grid.h"
#include "editing/edit_context.h"

namespace veltrano {

// After a transform on line: every cell (c, r), c and r 1..n (n 16 for SG_PCN, 32 for
// SG_PCN_32x32), whose text is no longer the text it was shown from becomes round(v * 128) in
// the link buffer (TablePCN or TablePcn_32x32) and in the image at the table's start, and its
// text the general text of byte / 128; every other cell keeps its byte and text. Every cell is
// checked first: a cell that is not a number changes nothing, is reported, and gives false.
bool ReencodePcnOnline(EditContext& ctx, TextGrid& grid, int n);

// The write requests of the 16x16 table by the radios: "OLT" raises FlagReWritePCN, "RAM PCN"
// sets RAM.ID (0x13 when FlagDAD, else 0x04) and raises FlagRewraitePCN_RAM; each also resets the
// learning run. Skipped without a link object.
void RequestPcnWrites(EditContext& ctx);
// The 32x32 table has only the OLT write: FlagRewritePcn_32x32.
void RequestPcn32Writes(EditContext& ctx);

}  // namespace veltrano
