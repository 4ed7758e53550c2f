// The key handlers of the two fuel-fill correction grids.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "calibration/table_catalogue.h"
#include "common/text_forms.h"
#include "editing/cell_walk.h"
#include "editing/editing_texts.h"
#include "editing/key_editors.h"
#include "editing/key_groups.h"
#include "editing/pcn_online.h"
#include "editing/table_transforms.h"

namespace veltrano {
namespace {

constexpr double kPcnTextStep = 0.01;

struct SteppedByte {
    int col;
    int row;
    std::size_t index;
    std::uint8_t byte;
};

// On line: steps the selected cells' bytes in the link buffer by one, stopping at 0 and 255,
// then mirrors them into the image and shows byte / 128 with two decimals.
void StepPcnBytes(EditContext& ctx, TextGrid& grid, const GridSelection& sel, int n, int delta) {
    std::vector<SteppedByte> stepped;
    ctx.link->WithTables([&](TOBDII& link) {
        std::uint8_t* table = n == 32 ? link.TablePcn_32x32.data() : link.TablePCN.data();
        ForEachSelectedCell(grid, sel, [&](int c, int r) {
            if (c < 1 || r < 1 || c > n || r > n)
                return true;
            const std::size_t i = (r - 1) * n + (c - 1);
            table[i] = static_cast<std::uint8_t>(std::clamp(table[i] + delta, 0, 255));
            stepped.push_back({c, r, i, table[i]});
            return true;
        });
    });
    const std::size_t start = n == 32 ? ctx.layout->StartAddrPcn_32x32 : ctx.layout->StartAddrPCN;
    for (const SteppedByte& s : stepped) {
        if (ctx.firmware != nullptr && start + s.index < ctx.firmware->FFirmwareData.size()) {
            ctx.firmware->FFirmwareData[start + s.index] = s.byte;
        }
        grid.SetDecoded(s.col, s.row, FormatMask("##0.00", s.byte / 128.0, ctx.sep), s.byte);
    }
}

bool StepPcn(EditContext& ctx, TextGrid& grid, const GridSelection& sel, int n, int sign) {
    if (ctx.LinkActive() && ctx.layout != nullptr) {
        StepPcnBytes(ctx, grid, sel, n, sign);
        return true;
    }
    return StepCellTexts(grid, sel, sign * kPcnTextStep, ctx.messages, ctx.sep);
}

bool InterpolatePcn(EditContext& ctx, TextGrid& grid, const GridSelection& sel, int n,
                    bool alongX) {
    const bool ok = alongX ? InterpolateX(grid, sel, ctx.messages, ctx.sep)
                           : InterpolateY(grid, sel, ctx.messages, ctx.sep);
    if (!ok)
        return false;
    return !ctx.LinkActive() || ReencodePcnOnline(ctx, grid, n);
}

void ReportUnusedKey(EditContext& ctx, char32_t key) {
    if (ctx.messages == nullptr)
        return;
    ctx.messages->Information(editing_texts::kKeyNotUsed);
    ctx.messages->Information(IntegerText(static_cast<long long>(key)));
}

// One key on a fuel grid; false when a cell was not a number (no write is then requested).
bool PcnKey(EditContext& ctx, TextGrid& grid, const GridSelection& sel, char32_t key, int n) {
    switch (KeyGroupOf(key)) {
        case KeyGroup::kPlus:
            return StepPcn(ctx, grid, sel, n, +1);
        case KeyGroup::kMinus:
            return StepPcn(ctx, grid, sel, n, -1);
        case KeyGroup::kInterpolateX:
            return InterpolatePcn(ctx, grid, sel, n, true);
        case KeyGroup::kInterpolateY:
            return InterpolatePcn(ctx, grid, sel, n, false);
        case KeyGroup::kOther:
            break;
    }
    ReportUnusedKey(ctx, key);
    return true;
}

}  // namespace

void SG_PCNKeyPress(EditContext& ctx, TextGrid& SG_PCN, const GridSelection& sel, char32_t key) {
    if (SG_PCN.Enabled && PcnKey(ctx, SG_PCN, sel, key, 16))
        RequestPcnWrites(ctx);
}

void SG_PCN_32x32KeyPress(EditContext& ctx, TextGrid& SG_PCN_32x32, const GridSelection& sel,
                          char32_t key) {
    if (PcnKey(ctx, SG_PCN_32x32, sel, key, 32))
        RequestPcn32Writes(ctx);
}

}  // namespace veltrano
