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

// Every cell's byte, or nothing when a cell is not a number (reported).
std::optional<std::vector<std::uint8_t>> EncodePcnCells(const EditContext& ctx,
                                                        const TextGrid& grid, int n) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n) * n);
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            const std::optional<double> v = CellNumber(grid, c, r, ctx.messages, ctx.sep);
            if (!v)
                return std::nullopt;
            bytes[(r - 1) * n + (c - 1)] = ValueByte(TableScale::Pcn, *v);
        }
    }
    return bytes;
}

}  // namespace

bool ReencodePcnOnline(EditContext& ctx, TextGrid& grid, int n) {
    const std::optional<std::vector<std::uint8_t>> bytes = EncodePcnCells(ctx, grid, n);
    if (!bytes)
        return false;
    if (ctx.link != nullptr) {
        ctx.link->WithTables([&](TOBDII& link) {
            std::uint8_t* table = n == 32 ? link.TablePcn_32x32.data() : link.TablePCN.data();
            std::copy(bytes->begin(), bytes->end(), table);
        });
    }
    const std::size_t start = PcnStart(ctx, n);
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            const std::size_t i = (r - 1) * n + (c - 1);
            const std::uint8_t b = (*bytes)[i];
            grid.SetDecoded(c, r, GeneralText(b / 128.0, ctx.sep), b);
            if (ctx.firmware != nullptr && start != 0 &&
                start + i < ctx.firmware->FFirmwareData.size()) {
                ctx.firmware->FFirmwareData[start + i] = b;
            }
        }
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
