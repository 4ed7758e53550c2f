// The key handlers of the base fill, ignition, mixture and injector dynamic correction grids.
#include <cstdint>
#include <optional>
#include <vector>

#include "calibration/table_catalogue.h"
#include "editing/cell_walk.h"
#include "editing/key_editors.h"
#include "editing/key_groups.h"

namespace veltrano {
namespace {

constexpr double kBcnStep = 5;
constexpr double kUozStep = 0.5;
constexpr double kAfrStep = 0.05;
constexpr double kInjDynamicStep = 0.01;
constexpr std::uint16_t kAddrInjDynamic = 0x71D8;
constexpr int kInjDynamicCount = 16;
constexpr std::uint8_t kRamIdUozDad = 0x12;
constexpr std::uint8_t kRamIdUozThrottle = 0x05;

// +1 for the plus group, -1 for the minus group, 0 for any other key.
int SignOf(char32_t key) {
    switch (KeyGroupOf(key)) {
        case KeyGroup::kPlus:
            return +1;
        case KeyGroup::kMinus:
            return -1;
        default:
            return 0;
    }
}

// The grid's 16x16 table as link bytes; a cell that is not a number is reported.
std::optional<std::vector<std::uint8_t>> StoreTable(const EditContext& ctx, const TextGrid& grid,
                                                    TableScale scale) {
    const int m = ctx.firmware != nullptr ? BcnMultiplier(*ctx.firmware) : 1;
    EncodedTable encoded = EncodeTableBytes(grid, scale, 16, m, ctx.sep);
    if (encoded.error) {
        ctx.Warn(CellErrorMessage(*encoded.error));
        return std::nullopt;
    }
    return std::move(encoded.bytes);
}

}  // namespace

void SG_BCNKeyPress(EditContext& ctx, TextGrid& SG_BCN, const GridSelection& sel, char32_t key) {
    if (!SG_BCN.Enabled)
        return;  // a table whose address is not known
    const int sign = SignOf(key);
    if (sign == 0)
        return;
    if (!StepCellTexts(SG_BCN, sel, sign * kBcnStep, ctx.messages, ctx.sep))
        return;
    if (!ctx.LinkActive() || !ctx.radios.RadioOlt)
        return;
    if (auto bytes = StoreTable(ctx, SG_BCN, TableScale::Bcn)) {
        ctx.link->RequestWrite(WriteRequest::BCN, *bytes);
    }
}

void SG_UOZKeyPress(EditContext& ctx, TextGrid& SG_UOZ, const GridSelection& sel, char32_t key) {
    if (!SG_UOZ.Enabled)
        return;  // a table whose address is not known
    const int sign = SignOf(key);
    if (sign == 0)
        return;
    if (!StepCellTexts(SG_UOZ, sel, sign * kUozStep, ctx.messages, ctx.sep))
        return;
    if (!ctx.LinkActive() || !(ctx.radios.RadioOlt || ctx.radios.RadioRamUoz))
        return;
    const std::optional<std::vector<std::uint8_t>> bytes = StoreTable(ctx, SG_UOZ, TableScale::Uoz);
    if (!bytes)
        return;
    if (ctx.radios.RadioOlt)
        ctx.link->RequestWrite(WriteRequest::UOZ, *bytes);
    if (ctx.radios.RadioRamUoz) {
        const bool dad = ctx.layout != nullptr && ctx.layout->FlagDadUozAfr;
        ctx.link->RequestWrite(WriteRequest::UOZ_DAD_RAM, *bytes, -1,
                               dad ? kRamIdUozDad : kRamIdUozThrottle);
    }
}

void SG_AFRKeyPress(EditContext& ctx, TextGrid& SG_AFR, const GridSelection& sel, char32_t key) {
    if (!SG_AFR.Enabled)
        return;  // a table whose address is not known
    const int sign = SignOf(key);
    if (sign != 0)
        StepCellTexts(SG_AFR, sel, sign * kAfrStep, ctx.messages, ctx.sep);
}

void RzStringGrid1KeyPress(EditContext& ctx, TextGrid& RzStringGrid1, const GridSelection& sel,
                           char32_t key) {
    const bool online = ctx.LinkActive() && ctx.FirmwareLoaded() && ctx.link->FlagOLT;
    // The small-table buffer must not change while its write is pending: the key waits.
    if (online && ctx.link->FlagRewraiteTableOLT)
        return;
    const int sign = key == U'+' ? +1 : key == U'-' ? -1 : 0;
    if (sign != 0 &&
        !StepCellTexts(RzStringGrid1, sel, sign * kInjDynamicStep, ctx.messages, ctx.sep)) {
        return;
    }
    if (!online)
        return;
    std::vector<std::uint8_t> bytes(kInjDynamicCount);
    for (int k = 0; k < kInjDynamicCount; ++k) {
        if (!CellNumber(RzStringGrid1, k, 1, ctx.messages, ctx.sep))
            return;
        bytes[k] = *CellByte(RzStringGrid1, k, 1, TableScale::InjDynamic, 1, ctx.sep);
    }
    std::vector<std::uint8_t>& image = ctx.firmware->FFirmwareData;
    for (std::size_t k = 0; k < bytes.size() && kAddrInjDynamic + k < image.size(); ++k) {
        image[kAddrInjDynamic + k] = bytes[k];
    }
    ctx.link->RequestWrite(WriteRequest::TableOLT, bytes, kAddrInjDynamic);
}

}  // namespace veltrano
