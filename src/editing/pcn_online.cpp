#include "editing/pcn_online.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "calibration/table_catalogue.h"
#include "common/text_forms.h"
#include "editing/cell_walk.h"

namespace veltrano {
namespace {

constexpr std::uint8_t kRamIdPcnDad = 0x13;
constexpr std::uint8_t kRamIdPcnThrottle = 0x04;

std::uint16_t PcnStart(const EditContext& ctx, int n) {
    if (ctx.layout == nullptr)
        return 0;
    return n == 32 ? ctx.layout->StartAddrPcn_32x32 : ctx.layout->StartAddrPCN;
}

struct ChangedByte {
    int col;
    int row;
    std::size_t index;
    std::uint8_t byte;
};

// The bytes of the cells whose text no longer is the text they were shown from; nothing when a
// cell is not a number (reported).
std::optional<std::vector<ChangedByte>> ChangedPcnCells(const EditContext& ctx,
                                                        const TextGrid& grid, int n) {
    std::vector<ChangedByte> out;
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            const std::optional<double> v = CellNumber(grid, c, r, ctx.messages, ctx.sep);
            if (!v)
                return std::nullopt;
            if (grid.Modified(c, r)) {
                const std::size_t i = static_cast<std::size_t>(r - 1) * n + (c - 1);
                out.push_back({c, r, i, ValueByte(TableScale::Pcn, *v)});
            }
        }
    }
    return out;
}

}  // namespace

bool ReencodePcnOnline(EditContext& ctx, TextGrid& grid, int n) {
    const std::optional<std::vector<ChangedByte>> changed = ChangedPcnCells(ctx, grid, n);
    if (!changed)
        return false;
    if (ctx.link != nullptr) {
        ctx.link->WithTables([&](TOBDII& link) {
            std::uint8_t* table = n == 32 ? link.TablePcn_32x32.data() : link.TablePCN.data();
            for (const ChangedByte& b : *changed)
                table[b.index] = b.byte;
        });
    }
    const std::size_t start = PcnStart(ctx, n);
    for (const ChangedByte& b : *changed) {
        grid.SetDecoded(b.col, b.row, GeneralText(b.byte / 128.0, ctx.sep), b.byte);
        if (ctx.firmware != nullptr && start != 0 &&
            start + b.index < ctx.firmware->FFirmwareData.size())
            ctx.firmware->FFirmwareData[start + b.index] = b.byte;
    }
    return true;
}

void RequestPcnWrites(EditContext& ctx) {
    if (ctx.link == nullptr)
        return;
    if (ctx.radios.RadioOlt) {
        if (ctx.learning != nullptr)
            ctx.learning->PcnRewriteRequested(PcnRewrite::Olt);
        ctx.link->FlagReWritePCN = true;
    }
    if (ctx.radios.RadioRam) {
        const bool dad = ctx.layout != nullptr && ctx.layout->FlagDAD;
        ctx.link->WithTables(
            [&](TOBDII& link) { link.RAM.ID = dad ? kRamIdPcnDad : kRamIdPcnThrottle; });
        if (ctx.learning != nullptr)
            ctx.learning->PcnRewriteRequested(PcnRewrite::Ram);
        ctx.link->FlagRewraitePCN_RAM = true;
    }
}

void RequestPcn32Writes(EditContext& ctx) {
    if (ctx.link == nullptr || !ctx.radios.RadioOlt)
        return;
    if (ctx.learning != nullptr)
        ctx.learning->PcnRewriteRequested(PcnRewrite::Olt);
    ctx.link->FlagRewritePcn_32x32 = true;
}

}  // namespace veltrano
