#include "editing/table_menu.h"

#include "editing/pcn_online.h"
#include "editing/table_transforms.h"

namespace veltrano {
namespace {

constexpr const char* kSmoothFormat = "##0.##";

TextGrid* TableOfPage(CalibrationGrids& grids, int page) {
    switch (page) {
        case kPageBcn:
            return &grids.SG_BCN;
        case kPagePcn:
            return &grids.SG_PCN;
        case kPageAfr:
            return &grids.SG_AFR;
        case kPageUoz:
            return &grids.SG_UOZ;
        default:
            return nullptr;
    }
}

// The table of the page when it takes menu actions (a table whose address is not known does
// not).
TextGrid* EditableTableOfPage(CalibrationGrids& grids, int page) {
    TextGrid* grid = TableOfPage(grids, page);
    return grid != nullptr && grid->Enabled ? grid : nullptr;
}

void InterpolateMenu(EditContext& ctx, CalibrationGrids& grids, int page, const GridSelection& sel,
                     bool alongX) {
    TextGrid* grid = EditableTableOfPage(grids, page);
    if (grid == nullptr)
        return;
    const bool ok = alongX ? InterpolateX(*grid, sel, ctx.messages, ctx.sep)
                           : InterpolateY(*grid, sel, ctx.messages, ctx.sep);
    if (!ok || page != kPagePcn || !ctx.LinkActive())
        return;
    if (ReencodePcnOnline(ctx, *grid, 16))
        RequestPcnWrites(ctx);
}

}  // namespace

void N1Click(EditContext& ctx, CalibrationGrids& grids, int page, const GridSelection& sel) {
    InterpolateMenu(ctx, grids, page, sel, true);
}

void Y1Click(EditContext& ctx, CalibrationGrids& grids, int page, const GridSelection& sel) {
    InterpolateMenu(ctx, grids, page, sel, false);
}

void N3Click(EditContext& ctx, CalibrationGrids& grids, int page) {
    if (EditableTableOfPage(grids, page) == nullptr)
        return;
    if (page == kPageBcn) {
        SmoothTable(grids.SG_BCN, kSmoothFormat, ctx.messages, ctx.sep);
    } else if (page == kPagePcn) {
        if (!ctx.LinkActive()) {
            SmoothTable(grids.SG_PCN, kSmoothFormat, ctx.messages, ctx.sep);
        } else if (ctx.SmoothPcnTable) {
            ctx.SmoothPcnTable();
            RequestPcnWrites(ctx);
        }
    }
}

}  // namespace veltrano
