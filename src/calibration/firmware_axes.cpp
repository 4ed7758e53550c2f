// Rpm factor and the speed, throttle, pressure and air-fill axes.
#include <cmath>

#include "calibration/firmware.h"
#include "common/text_forms.h"

namespace veltrano {
namespace {

constexpr std::uint16_t kRpmQuant = 0x613C;
constexpr int kRpmQuantSize = 256;
constexpr std::uint16_t kThrottleQuant = 0x7208;
constexpr int kThrottleQuantSize = 101;
// A quantisation value that never turns up leaves the point at position 0 after this many tries.
constexpr int kAxisSearchTries = 256;

int LastPosition(const TFirmware& fw, std::uint16_t table, int size, int value) {
    for (int pos = size - 1; pos >= 0; --pos) {
        if (fw.Byte(table + pos) == value)
            return pos;
    }
    return -1;
}

// Positions of the points probed with steps of `stride` in a quantisation table.
template <std::size_t N>
std::array<int, N> AxisPositions(const TFirmware& fw, std::uint16_t table, int size, int stride) {
    std::array<int, N> out{};
    const int first = LastPosition(fw, table, size, 0);
    out[0] = first < 0 ? 0 : first;
    for (std::size_t i = 1; i < N; ++i) {
        int p = static_cast<int>(i) * stride;
        out[i] = 0;
        for (int tries = 0; tries < kAxisSearchTries; ++tries, p = (p + 1) % 256) {
            const int pos = LastPosition(fw, table, size, p);
            if (pos > 0) {
                out[i] = pos;
                break;
            }
        }
    }
    return out;
}

template <std::size_t N>
void DadAxis(const TFirmware& fw, std::array<std::int32_t, N>& axis, std::uint16_t min1,
             std::uint16_t min2, std::uint16_t max) {
    const int base = (fw.Byte(min1) + 256 * fw.Byte(min2)) / 60;
    const int s = fw.Byte(max);
    const double span = s == 0 ? 8248.5 : 8248.5 / s;
    const double step = span / (N - 1);
    for (std::size_t k = 0; k < N; ++k) {
        axis[k] = base + static_cast<std::int32_t>(std::trunc(k * step));
    }
}

}  // namespace

std::int32_t TFirmware::GetQuantValue() const {
    std::int32_t factor = 0;
    for (std::size_t i = 1; i + 4 < FFirmwareData.size(); ++i) {
        if (FFirmwareData[i] != 0x90 || FFirmwareData[i + 1] != 0x61 ||
            FFirmwareData[i + 2] != 0x3C || FFirmwareData[i + 3] != 0xE5) {
            continue;
        }
        if (FFirmwareData[i + 4] == 0x54)
            factor = 30;
        if (FFirmwareData[i + 4] == 0x55)
            factor = 40;
    }
    const std::string name = FirmNameLoad(0x0100);
    if (name == "J7SPT" || name == "J5SPT")
        factor = 50;
    return factor;
}

void TFirmware::GetRPMAxis() {
    const std::int32_t factor = GetQuantValue();
    const auto pos16 = AxisPositions<16>(*this, kRpmQuant, kRpmQuantSize, 16);
    for (std::size_t i = 0; i < 16; ++i)
        FRPMAxis[i] = pos16[i] * factor;
    const auto pos32 = AxisPositions<32>(*this, kRpmQuant, kRpmQuantSize, 8);
    for (std::size_t i = 0; i < 32; ++i)
        FRPMAxis_32[i] = pos32[i] * factor;
}

void TFirmware::GetThrottleAxis() {
    const auto pos = AxisPositions<16>(*this, kThrottleQuant, kThrottleQuantSize, 16);
    for (std::size_t i = 0; i < 16; ++i)
        FThrottleAxis[i] = pos[i];
}

void TFirmware::GetThrottleAxis_32() {
    const auto pos = AxisPositions<32>(*this, kThrottleQuant, kThrottleQuantSize, 8);
    for (std::size_t i = 0; i < 32; ++i)
        FThrottleAxis_32[i] = pos[i];
}

void TFirmware::GetDadAxis(std::uint16_t startaddrMin1, std::uint16_t StartAddrMin2,
                           std::uint16_t StartAddrMax) {
    DadAxis(*this, FDADAxis, startaddrMin1, StartAddrMin2, StartAddrMax);
}

void TFirmware::GetDadAxis_x32(std::uint16_t startaddrMin1, std::uint16_t StartAddrMin2,
                               std::uint16_t StartAddrMax) {
    DadAxis(*this, FdadAxis_32, startaddrMin1, StartAddrMin2, StartAddrMax);
}

std::array<std::int32_t, 16> TFirmware::GBCAxis() const {
    const auto base = static_cast<std::int32_t>(RoundHalfEven(Word(0x6064) / 6.0));
    const int s = Byte(0x6066);
    const double span = s == 0 ? 81900.0 : 81900.0 / s;
    const double step = span / 15;
    std::array<std::int32_t, 16> axis{};
    for (std::size_t k = 0; k < 16; ++k) {
        axis[k] = base + static_cast<std::int32_t>(std::trunc(k * step));
    }
    return axis;
}

}  // namespace veltrano
