// Synthetic firmware images of every variant, plausible as an engine calibration: for the
// tests, the simulator and the window's demo mode. No real firmware is involved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrano {

struct DemoImageOptions {
    std::string variant = "J5TRS";      // any firmwareName; unknown gives an image no probe matches
    bool dad = true;                    // PCN indexed by manifold pressure
    bool dadUozAfr = true;              // UOZ and AFR indexed by manifold pressure
    bool pcn32 = false;                 // "J5TRS"/"J7TRS": 32x32 throttle PCN at 0x5800
    bool pcnDad32x32 = false;           // "J7ES": 32x32 pressure PCN at 0x9294
    bool j7esThrottleOverride = false;  // "J7ES": bit 1 of [0x5F02]
    bool j7esAltProbe = false;          // "J7ES": "j7esa" instead of "j7es_"
    std::uint8_t rpmQuantSelector = 0x54;  // 0x54: 30 rpm, 0x55: 40 rpm, other: no sequence
    std::size_t size = 65536;
    bool fixChecksum = true;  // store a correct checksum (65 536-byte images only)
};

// The image the CLI's demo-image command and the window's demo mode use.
DemoImageOptions DefaultDemoOptions();

std::vector<std::uint8_t> MakeDemoImage(const DemoImageOptions& options);

// The eight variant names.
const std::vector<std::string>& DemoVariants();

// Table bytes the generator stores; c and r from 1 (columns speed, rows load).
std::uint8_t DemoPcnByte(int c, int r, int n = 16);
std::uint8_t DemoBcnByte(int c, int r, int multiplier = 1);
std::uint8_t DemoUozByte(int c, int r);
std::uint8_t DemoAfrByte(int c, int r);

// Axis points the quantisation tables encode (rpm positions, throttle percent).
std::int32_t DemoRpmPosition(int i);
std::int32_t DemoThrottlePercent(int i);

}  // namespace veltrano
