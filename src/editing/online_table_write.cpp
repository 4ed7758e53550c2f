#include "editing/online_table_write.h"

#include <algorithm>
#include <vector>

#include "calibration/table_catalogue.h"
#include "editing/pcn_online.h"

namespace veltrano {
namespace {

constexpr std::uint8_t kRamIdUozDad = 0x12;
constexpr std::uint8_t kRamIdUozThrottle = 0x05;

// Every value cell's byte in image order; nothing when a cell is not a number (reported).
std::optional<std::vector<std::uint8_t>> TableBytes(const EditContext& ctx, const TextGrid& grid,
                                                    TableId id) {
    const ValueArea a = AreaOf(id);
    const int m = ctx.firmware != nullptr ? BcnMultiplier(*ctx.firmware) : 1;
    std::vector<std::uint8_t> out;
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c) {
            if (!ByteIndexOf(id, c, r))
                continue;
            const auto b = CellByteOf(grid, id, c, r, m, ctx.sep);
            if (!b) {
                ctx.Warn(CellErrorMessage({c, r, grid.Cell(c, r)}));
                return std::nullopt;
            }
            out.push_back(*b);
        }
    }
    return out;
}

void MirrorIntoImage(EditContext& ctx, TableId id, const std::vector<std::uint8_t>& bytes) {
    const auto start = ctx.layout != nullptr ? StartOf(id, *ctx.layout) : std::nullopt;
    if (!start || ctx.firmware == nullptr)
        return;
    std::vector<std::uint8_t>& image = ctx.firmware->FFirmwareData;
    for (std::size_t i = 0; i < bytes.size() && *start + i < image.size(); ++i)
        image[*start + i] = bytes[i];
}

void WritePcn(EditContext& ctx, TableId id, const std::vector<std::uint8_t>& bytes) {
    const bool big = id == TableId::PCN_32x32;
    ctx.link->WithTables([&](TOBDII& link) {
        std::uint8_t* table = big ? link.TablePcn_32x32.data() : link.TablePCN.data();
        std::copy(bytes.begin(), bytes.end(), table);
    });
    MirrorIntoImage(ctx, id, bytes);
    if (big)
        RequestPcn32Writes(ctx);
    else
        RequestPcnWrites(ctx);
}

void WriteUoz(EditContext& ctx, const std::vector<std::uint8_t>& bytes) {
    if (ctx.radios.RadioOlt)
        ctx.link->RequestWrite(WriteRequest::UOZ, bytes);
    if (ctx.radios.RadioRamUoz) {
        const bool dad = ctx.layout != nullptr && ctx.layout->FlagDadUozAfr;
        ctx.link->RequestWrite(WriteRequest::UOZ_DAD_RAM, bytes, -1,
                               dad ? kRamIdUozDad : kRamIdUozThrottle);
    }
}

// The small tables go to the ECU only in OLT mode and never over a write still pending.
void WriteSmallTable(EditContext& ctx, TableId id, const std::vector<std::uint8_t>& bytes) {
    if (!ctx.FirmwareLoaded() || !ctx.link->FlagOLT || ctx.link->FlagRewraiteTableOLT)
        return;
    MirrorIntoImage(ctx, id, bytes);
    const auto start = StartOf(id, *ctx.layout);
    ctx.link->RequestWrite(WriteRequest::TableOLT, bytes, static_cast<int>(*start));
}

}  // namespace

void WriteTableOnline(EditContext& ctx, CalibrationGrids& grids, TableId id) {
    if (!ctx.LinkActive() || id == TableId::AFR)
        return;
    const auto bytes = TableBytes(ctx, GridOf(grids, id), id);
    if (!bytes)
        return;
    switch (id) {
        case TableId::PCN:
        case TableId::PCN_32x32:
            WritePcn(ctx, id, *bytes);
            break;
        case TableId::BCN:
            if (ctx.radios.RadioOlt)
                ctx.link->RequestWrite(WriteRequest::BCN, *bytes);
            break;
        case TableId::UOZ:
            WriteUoz(ctx, *bytes);
            break;
        default:
            WriteSmallTable(ctx, id, *bytes);
            break;
    }
}

}  // namespace veltrano
