// The DATA tab's byte editors: they change stored bytes directly, on line in OLT mode only.
// Every step stops at the byte range (and at the word range for the two-byte parameters).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "calibration/firmware.h"
#include "common/text_forms.h"
#include "editing/cell_walk.h"
#include "editing/key_editors.h"
#include "editing/key_groups.h"

namespace veltrano {
namespace {

constexpr std::uint16_t kAddrIdleAfr = 0x87E4;
constexpr std::uint16_t kAddrIdleValve = 0x6FE4;
constexpr std::uint16_t kAddrIdleRpm = 0x6F56;
constexpr std::uint16_t kAddrCylinder = 0x60AB;
constexpr std::uint16_t kAddrLaunch = 0x605B;
constexpr int kCoolantPoints = 39;
constexpr double kStaticFlowFactor = 362.811791;
constexpr int kStaticFlowLowStep = 50;
constexpr int kCylinderLowStep = 100;

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

// The editors act only on line, in OLT mode, with an image, while no small-table write waits.
bool Open(const EditContext& ctx) {
    return ctx.LinkActive() && ctx.FirmwareLoaded() && ctx.link->FlagOLT &&
           !ctx.link->FlagRewraiteTableOLT;
}

bool ImageHas(const EditContext& ctx, std::size_t addr, std::size_t count) {
    return addr + count <= ctx.firmware->FFirmwareData.size();
}

std::uint8_t& ImageByte(EditContext& ctx, std::size_t addr) {
    return ctx.firmware->FFirmwareData[addr];
}

std::uint8_t StepByte(std::uint8_t b, int delta, int low = 0, int high = 255) {
    return static_cast<std::uint8_t>(std::clamp(b + delta, low, high));
}

// Writes the bytes into the image and queues them for the ECU at the same address.
void Commit(EditContext& ctx, std::uint16_t addr, const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), ctx.firmware->FFirmwareData.begin() + addr);
    ctx.link->RequestWrite(WriteRequest::TableOLT, bytes, addr);
}

// The static flow's two-byte divisor: plus lowers it by 50 in the low byte, borrowing as
// "low := 255, high - 1"; minus raises it, carrying as "low := 0, high + 1". At the ends of the
// word range, where no borrow or carry is left, the word stays, and it never becomes 0.
void StepStaticFlowWord(std::uint8_t& l, std::uint8_t& h, int sign) {
    int low = l;
    int high = h;
    if (sign > 0) {
        low -= kStaticFlowLowStep;
        if (low < 0) {
            if (high == 0)
                return;
            low = 255;
            --high;
        }
        if (low == 0 && high == 0)
            return;
    } else {
        low += kStaticFlowLowStep;
        if (low > 255) {
            if (high == 255)
                return;
            low = 0;
            ++high;
        }
    }
    l = static_cast<std::uint8_t>(low);
    h = static_cast<std::uint8_t>(high);
}

// The cylinder volume word: low byte steps by 100 with the carry and borrow rules of the
// parameter, the high byte staying within 0..255.
void StepCylinderWord(std::uint8_t& l, std::uint8_t& h, int sign) {
    int low = l + sign * kCylinderLowStep;
    int high = h;
    if (low > 255) {
        low = high == 255 ? 255 : 0;
        high = std::min(high + 1, 255);
    } else if (low < 0) {
        low = high > 0 ? 255 : 0;
        high = std::max(high - 1, 0);
    }
    l = static_cast<std::uint8_t>(low);
    h = static_cast<std::uint8_t>(high);
}

using RowText = std::string (*)(std::uint8_t b, char sep);

std::string IdleAfrText(std::uint8_t b, char sep) {
    return FormatMask("##0.0", TFirmware::GetAfrXX(b), sep);
}
std::string IdleValveText(std::uint8_t b, char) {
    return IntegerText(b);
}
std::string IdleRpmText(std::uint8_t b, char) {
    return IntegerText(b * 10);
}

// The coolant-indexed rows: the selected columns' bytes step by one; the row is re-decoded.
void CoolantRowKey(EditContext& ctx, TextGrid& grid, const GridSelection& sel, char32_t key,
                   std::uint16_t base, RowText text) {
    const int sign = SignOf(key);
    if (sign == 0 || !Open(ctx) || !ImageHas(ctx, base, kCoolantPoints))
        return;
    const int left = std::max(sel.left, 0);
    const int right = std::min(sel.right, kCoolantPoints - 1);
    if (left > right)
        return;
    std::vector<std::uint8_t> bytes;
    for (int k = left; k <= right; ++k)
        bytes.push_back(StepByte(ImageByte(ctx, base + k), sign));
    Commit(ctx, static_cast<std::uint16_t>(base + left), bytes);
    for (int k = 0; k < kCoolantPoints; ++k) {
        const std::uint8_t b = ImageByte(ctx, base + k);
        grid.SetDecoded(k, 1, text(b, ctx.sep), b);
    }
}

// A one-byte parameter shown in cell (1, 0); `direction` -1 when plus lowers the byte.
template <class Show>
void SingleByteKey(EditContext& ctx, TextGrid& grid, char32_t key, std::uint16_t addr, int low,
                   int direction, Show show) {
    const int sign = SignOf(key);
    if (sign == 0 || !Open(ctx) || !ImageHas(ctx, addr, 1))
        return;
    const std::uint8_t b = StepByte(ImageByte(ctx, addr), sign * direction, low);
    Commit(ctx, addr, {b});
    grid.SetDecoded(1, 0, GeneralText(show(b), ctx.sep), b);
}

}  // namespace

void RzStringGrid3KeyPress(EditContext& ctx, TextGrid& RzStringGrid3, char32_t key) {
    const int sign = SignOf(key);
    if (sign == 0 || !Open(ctx))
        return;
    const std::uint16_t addr = ctx.layout->StartAddrInjStatic;
    if (ctx.layout->InjStaticBytes == 1) {
        // Plus raises the flow shown: it lowers the divisor, never below 1.
        SingleByteKey(ctx, RzStringGrid3, key, addr, 1, -1,
                      [](std::uint8_t b) { return kStaticFlowFactor / b; });
        return;
    }
    if (ctx.layout->InjStaticBytes != 2 || !ImageHas(ctx, addr, 2))
        return;
    std::uint8_t l = ImageByte(ctx, addr);
    std::uint8_t h = ImageByte(ctx, addr + 1);
    StepStaticFlowWord(l, h, sign);
    Commit(ctx, addr, {l, h});
    RzStringGrid3.SetCell(
        1, 0, FormatMask("##0.0000", ctx.firmware->ReadStaticInjTime(addr, 2), ctx.sep));
}

void RzStringGrid4KeyPress(EditContext& ctx, TextGrid& RzStringGrid4, const GridSelection& sel,
                           char32_t key) {
    CoolantRowKey(ctx, RzStringGrid4, sel, key, kAddrIdleAfr, IdleAfrText);
}

void RzStringGrid5KeyPress(EditContext& ctx, TextGrid& RzStringGrid5, const GridSelection& sel,
                           char32_t key) {
    CoolantRowKey(ctx, RzStringGrid5, sel, key, kAddrIdleValve, IdleValveText);
}

void RzStringGrid6KeyPress(EditContext& ctx, TextGrid& RzStringGrid6, const GridSelection& sel,
                           char32_t key) {
    CoolantRowKey(ctx, RzStringGrid6, sel, key, kAddrIdleRpm, IdleRpmText);
}

void RzStringGrid7KeyPress(EditContext& ctx, TextGrid& RzStringGrid7, char32_t key) {
    const int sign = SignOf(key);
    if (sign == 0 || !Open(ctx) || !ImageHas(ctx, kAddrCylinder, 2))
        return;
    std::uint8_t l = ImageByte(ctx, kAddrCylinder);
    std::uint8_t h = ImageByte(ctx, kAddrCylinder + 1);
    StepCylinderWord(l, h, sign);
    Commit(ctx, kAddrCylinder, {l, h});
    RzStringGrid7.SetCell(1, 0, GeneralText((l + 256 * h) / 100.0, ctx.sep));
}

void RzStringGrid8KeyPress(EditContext& ctx, TextGrid& RzStringGrid8, char32_t key) {
    SingleByteKey(ctx, RzStringGrid8, key, kAddrLaunch, 0, +1,
                  [](std::uint8_t b) { return b * 40.0; });
}

void SG_Min_Inj_TimeKeyPress(EditContext& ctx, TextGrid& SG_Min_Inj_Time, char32_t key) {
    // Images without the parameter have no address for it: nothing to edit.
    if (ctx.layout == nullptr || ctx.layout->StartAddrMinInjTime == 0)
        return;
    SingleByteKey(ctx, SG_Min_Inj_Time, key, ctx.layout->StartAddrMinInjTime, 0, +1,
                  [](std::uint8_t b) { return b / 125.0; });
}

}  // namespace veltrano
