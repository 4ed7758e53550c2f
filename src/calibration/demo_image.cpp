#include "calibration/demo_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "calibration/firmware.h"
#include "common/messages.h"

namespace veltrano {
namespace {

using Image = std::vector<std::uint8_t>;

constexpr std::array<int, 16> kRpmPositions = {20, 27, 33,  40,  47,  53,  60,  70,
                                               80, 93, 107, 127, 147, 173, 200, 240};
constexpr std::array<int, 16> kThrottlePercent = {0,  2,  4,  6,  8,  11, 14, 18,
                                                  23, 29, 35, 45, 55, 68, 82, 96};

void Put(Image& img, std::size_t addr, std::uint8_t b) {
    if (addr < img.size())
        img[addr] = b;
}

void PutWord(Image& img, std::size_t addr, std::uint16_t w) {
    Put(img, addr, static_cast<std::uint8_t>(w & 0xFF));
    Put(img, addr + 1, static_cast<std::uint8_t>(w >> 8));
}

void PutText(Image& img, std::size_t addr, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        Put(img, addr + i, text[i]);
}

void SetBit(Image& img, std::size_t addr, int bit, bool on) {
    if (on)
        img[addr] |= static_cast<std::uint8_t>(1u << bit);
}

// A quantisation table whose last position holding 16 * i is points[i].
void PutQuantTable(Image& img, std::size_t addr, int size, const std::array<int, 16>& points) {
    for (int pos = 0; pos < size; ++pos) {
        int value = 0;
        if (pos > points[15]) {
            const int rest = size - 1 - points[15];
            value = 240 + (15 * (pos - points[15]) + rest - 1) / rest;
        } else {
            for (int i = 0; i < 15; ++i) {
                if (pos > points[i] && pos <= points[i + 1]) {
                    const int len = points[i + 1] - points[i];
                    value = 16 * i + (16 * (pos - points[i]) + len - 1) / len;
                }
            }
        }
        Put(img, addr + pos, static_cast<std::uint8_t>(std::min(value, 255)));
    }
}

template <typename F>
void PutTable(Image& img, std::size_t addr, int n, F byteAt) {
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c)
            Put(img, addr + (r - 1) * n + (c - 1), byteAt(c, r));
    }
}

void PutVariant(Image& img, const DemoImageOptions& o) {
    const std::string& v = o.variant;
    if (v == "J7SPT" || v == "J5SPT") {
        PutText(img, 0x0100, v);
        const std::size_t dadAddr = v == "J7SPT" ? 0x5F57 : 0x6051;
        const std::size_t uozAddr = v == "J7SPT" ? 0x5F59 : 0x6052;
        SetBit(img, dadAddr, 1, o.dad);
        SetBit(img, uozAddr, 0, o.dadUozAfr);
    } else if (v == "J7ES") {
        PutText(img, 0x0030, o.j7esAltProbe ? "j7esa" : "j7es_");
        SetBit(img, 0x5F02, 0, o.dad);
        SetBit(img, 0x5F02, 4, o.pcnDad32x32);
        SetBit(img, 0x5F02, 1, o.j7esThrottleOverride);
        SetBit(img, 0x5F01, 1, o.dadUozAfr);
    } else if (v == "J5TRS" || v == "J7TRS") {
        PutText(img, 0x0030, v);
        SetBit(img, 0x5F04, 1, o.pcn32);
        SetBit(img, 0x5F05, 2, o.dad);
        SetBit(img, 0x5F04, v == "J5TRS" ? 2 : 5, o.dadUozAfr);
    } else if (v == "J5LS") {
        PutText(img, 0x0030, "J5LS_");
        SetBit(img, 0x5F05, 2, o.dad);
        SetBit(img, 0x5F07, 5, o.dadUozAfr);
    } else if (v == "J5.1") {
        PutText(img, 0x600A, std::string_view("J5.1\0", 5));
    } else if (v == "J7.2") {
        PutText(img, 0x600A, std::string_view("7.2\0\0", 5));
    }
}

void PutParameters(Image& img, const DemoImageOptions& o) {
    if (o.rpmQuantSelector == 0x54 || o.rpmQuantSelector == 0x55) {
        PutText(img, 0x2000, "\x90\x61\x3C\xE5");
        Put(img, 0x2004, o.rpmQuantSelector);
    }
    PutQuantTable(img, 0x613C, 256, kRpmPositions);
    PutQuantTable(img, 0x7208, 101, kThrottlePercent);
    PutWord(img, 0x5EF2, 20 * 60);  // pressure axis from 20 kPa
    Put(img, 0x5EF4, 103);          // over 80 kPa
    PutWord(img, 0x60D2, 11150);    // 22.3 kPa/V
    Put(img, 0x60D4, 20);           // 0.39 V
    PutWord(img, 0x6098, 2788);     // the same characteristic in the J7ES scaling
    PutWord(img, 0x609A, 82);
    PutWord(img, 0x6064, 300);  // air-fill axis from 50
    Put(img, 0x6066, 182);      // over 450
    PutWord(img, 0x60AB, 39950);
    Put(img, 0x605B, 100);  // launch at 4000 rpm
    Put(img, 0x6057, 145);  // static flow 2.5 mg/ms
    PutWord(img, 0x5F24, 145 * 256);
    Put(img, 0x5FA8, 75);  // 0.6 ms
    for (int k = 0; k < 16; ++k) {
        const double volts = (56 + 8 * k) / 10.0;
        Put(img, 0x71D8 + k, static_cast<std::uint8_t>(std::min(255.0, std::round(1500 / volts))));
    }
    for (int k = 0; k < 39; ++k) {
        const double afr = std::min(14.7, 13.0 + 0.1 * k);
        Put(img, 0x87E4 + k, static_cast<std::uint8_t>(std::lround(afr * 256 / 14.7 - 128)));
        Put(img, 0x6FE4 + k, static_cast<std::uint8_t>(std::max(30, 90 - 3 * k)));
        Put(img, 0x6F56 + k, static_cast<std::uint8_t>(std::max(85, 140 - 3 * k)));
    }
}

void PutTables(Image& img, const DemoImageOptions& o) {
    TFirmware fw;
    SilentMessages quiet;
    fw.LoadFirmwareBytes(img, quiet);
    FirmwareLayout layout;
    IdentifyFirmware(fw, layout);
    LoadFirmwareLayout(fw, layout);
    auto pcn16 = [](int c, int r) { return DemoPcnByte(c, r, 16); };
    auto pcn32 = [](int c, int r) { return DemoPcnByte(c, r, 32); };
    PutTable(img, kAddrPcnTrt, 16, pcn16);
    if (layout.FlagPcn32)
        PutTable(img, kAddrPcn32, 32, pcn32);
    if (layout.StartAddrPCN)
        PutTable(img, layout.StartAddrPCN, 16, pcn16);
    // The double-scale BCN of pressure-fuelled TRS images stores half the byte.
    const int m = fw.FlagTRS239 && fw.Flag_DAD_BCN ? 2 : 1;
    auto bcn = [m](int c, int r) { return DemoBcnByte(c, r, m); };
    if (layout.StartAddrBCN)
        PutTable(img, layout.StartAddrBCN, 16, bcn);
    if (layout.StartAddrUOZ)
        PutTable(img, layout.StartAddrUOZ, 16, DemoUozByte);
    if (layout.StartAddrAFR)
        PutTable(img, layout.StartAddrAFR, 16, DemoAfrByte);
    if (o.variant == "J7ES" && o.pcnDad32x32)
        PutTable(img, kAddrPcnDad32, 32, pcn32);
}

}  // namespace

DemoImageOptions DefaultDemoOptions() {
    DemoImageOptions o;
    o.variant = "J5TRS";
    o.dad = true;
    o.dadUozAfr = true;
    o.pcn32 = true;
    return o;
}

std::vector<std::uint8_t> MakeDemoImage(const DemoImageOptions& options) {
    Image img(std::max(options.size, kMinImageSize), 0);
    PutVariant(img, options);
    PutParameters(img, options);
    PutTables(img, options);
    if (options.fixChecksum)
        TFirmware::CorrectCRC(img);
    return img;
}

const std::vector<std::string>& DemoVariants() {
    static const std::vector<std::string> names = {"J7SPT", "J5SPT", "J7ES", "J5TRS",
                                                   "J7TRS", "J5LS",  "J5.1", "J7.2"};
    return names;
}

std::uint8_t DemoPcnByte(int c, int r, int n) {
    // Scale 32-point coordinates onto the 16-point pattern, so both forms look alike.
    const int cc = n == 32 ? (c + 1) / 2 : c;
    const int rr = n == 32 ? (r + 1) / 2 : r;
    const double wave = 5 * std::sin(0.45 * cc) - 4 * std::cos(0.35 * rr);
    return static_cast<std::uint8_t>(128 + std::lround(wave));
}

std::uint8_t DemoBcnByte(int c, int r, int multiplier) {
    const int fill = 26 + 8 * r - std::abs(c - 9);
    return static_cast<std::uint8_t>(multiplier == 2 ? fill / 2 : fill);
}

std::uint8_t DemoUozByte(int c, int r) {
    return static_cast<std::uint8_t>(std::clamp(20 + 3 * c - 2 * r, 10, 80));
}

std::uint8_t DemoAfrByte(int, int r) {
    return static_cast<std::uint8_t>(r <= 10 ? 128 : 128 - 8 * (r - 10));
}

std::int32_t DemoRpmPosition(int i) {
    return kRpmPositions.at(i);
}
std::int32_t DemoThrottlePercent(int i) {
    return kThrottlePercent.at(i);
}

}  // namespace veltrano
