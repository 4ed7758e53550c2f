#include "sim/builtin_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef VELTRANO_SIM_DEMO_IMAGE
#include "calibration/demo_image.h"
#endif

namespace veltrano {
namespace {

using Image = std::vector<std::uint8_t>;

// Quantisation: position k of an axis maps to coordinate 16 k, linear in between.
void Quantisation(Image& m, std::uint16_t at, int positions, const int (&points)[16]) {
    for (int p = 0; p < positions; ++p) {
        int q = 0;
        if (p >= points[15]) {
            q = std::min(255, 240 + (p - points[15]));
        } else {
            int i = 0;
            while (p >= points[i + 1]) {
                ++i;
            }
            if (p >= points[0]) {
                q = 16 * i + 16 * (p - points[i]) / (points[i + 1] - points[i]);
            }
        }
        m[at + p] = static_cast<std::uint8_t>(q);
    }
}

void Table(Image& m, std::uint16_t at, std::uint8_t (*cell)(int c, int r)) {
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            m[at + r * 16 + c] = cell(c, r);
        }
    }
}

std::uint8_t Afr(int c, int r) {
    // 14.7 in the part-load area, richer towards full load and high speed.
    const double afr = r < 10 ? 14.7 : 14.7 - (r - 9) * 0.35 - (c > 11 ? 0.3 : 0.0);
    return static_cast<std::uint8_t>(std::lround(afr * 256.0 / 14.7 - 128.0));
}

std::uint8_t Uoz(int c, int r) {
    const double deg = std::clamp(12.0 + c * 1.8 - r * 1.1, 6.0, 40.0);
    return static_cast<std::uint8_t>(std::lround(deg * 2.0));
}

std::uint8_t Pcn(int c, int r) {
    return static_cast<std::uint8_t>(128 + ((c + r) % 3) - 1);
}

std::uint8_t Bcn(int c, int r) {
    return static_cast<std::uint8_t>(std::min(255, 40 + 8 * r + c));
}

}  // namespace

Image OwnEcuImage() {
    Image m(0x10000, 0x00);
    std::memcpy(m.data() + 0x0030, "j7es_", 5);
    const std::uint8_t quant[] = {0x90, 0x61, 0x3C, 0xE5, 0x55};  // 40 rpm per step
    std::memcpy(m.data() + 0x0200, quant, sizeof quant);
    const int rpmPositions[16] = {15, 20, 25, 30,  35,  40,  47,  55,
                                  65, 77, 90, 105, 122, 140, 160, 180};
    const int throttle[16] = {0, 2, 4, 6, 8, 11, 14, 18, 23, 29, 35, 42, 50, 60, 75, 100};
    Quantisation(m, 0x613C, 256, rpmPositions);
    Quantisation(m, 0x7208, 101, throttle);
    m[0x7208 + 100] = 240;
    m[0x6098] = 2500 & 0xFF;  // MAP sensor: 20 kPa/V
    m[0x6099] = 2500 >> 8;
    m[0x609A] = 20;           // offset 0.098 V
    m[0x5EF2] = 1200 & 0xFF;  // pressure axis from 20 kPa, span 8248.5 / 100
    m[0x5EF3] = 1200 >> 8;
    m[0x5EF4] = 100;
    Table(m, 0x6953, Afr);
    Table(m, 0x6DC8, Uoz);
    Table(m, 0x7CF7, Pcn);
    Table(m, 0x75EF, Bcn);
    return m;
}

Image DefaultEcuImage() {
#ifdef VELTRANO_SIM_DEMO_IMAGE
    Image demo = MakeDemoImage(DefaultDemoOptions());
    if (demo.size() >= 0x10000) {
        return demo;
    }
#endif
    return OwnEcuImage();
}

}  // namespace veltrano
