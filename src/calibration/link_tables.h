// Byte images of the tables the ECU link receives.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "calibration/firmware.h"
#include "calibration/firmware_layout.h"

namespace veltrano {

// The raw image bytes the link's buffers take at connect, with no conversion.
struct LinkTableImages {
    std::array<std::uint8_t, 256> TablePCN{};
    std::array<std::uint8_t, 256> TableBCN{};
    std::array<std::uint8_t, 256> TableUOZ{};
    std::array<std::uint8_t, 256> TableAFR{};
    std::vector<std::uint8_t> TablePcn_32x32;    // 1024 bytes for "J7ES", otherwise empty
    std::vector<std::uint8_t> TableFirmwareOlt;  // FFirmwareWriteOlt
};

LinkTableImages LinkTablesFromImage(const TFirmware& firmware, const FirmwareLayout& layout);

}  // namespace veltrano
