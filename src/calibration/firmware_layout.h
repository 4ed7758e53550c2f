// Where the current image keeps its tables and how they are indexed.
#pragma once

#include <cstdint>
#include <string>

namespace veltrano {

// Fixed image addresses shared by every variant.
inline constexpr std::uint16_t kAddrPcnTrt = 0x7CF7;    // throttle-indexed PCN, 16x16
inline constexpr std::uint16_t kAddrPcn32 = 0x5800;     // throttle-indexed PCN, 32x32
inline constexpr std::uint16_t kAddrPcnDad32 = 0x9294;  // pressure-indexed PCN, 32x32
inline constexpr std::uint16_t kAddrOltStart = 0x5F00;  // on-line tuning block copied at open
inline constexpr std::size_t kOltSize = 16640;          // 0x5F00..0x9FFF

struct FirmwareLayout {
    std::string firmwareName;  // "J7SPT", "J5SPT", "J7ES", "J5TRS", "J7TRS", "J5LS", "J5.1", "J7.2"
    bool FirmwareLoaded = false;
    bool FlagDAD = false;
    bool FlagDadUozAfr = false;
    bool FlagGBC = false;
    bool FlagPcnGridDad = false;
    bool FlagPcn32 = false;
    bool FlagPcnDad32x32 = false;
    std::uint16_t StartAddrPCN = 0;
    std::uint16_t StartAddrBCN = 0;
    std::uint16_t StartAddrUOZ = 0;
    std::uint16_t StartAddrAFR = 0;
    std::uint16_t StartAddrPcn_32x32 = 0;
    std::uint16_t startaddrMin1 = 0;
    std::uint16_t StartAddrMin2 = 0;
    std::uint16_t StartAddrMax = 0;
    std::uint16_t StartAddrInjStatic = 0;
    int InjStaticBytes = 0;
    std::uint16_t StartAddrMinInjTime = 0;

    // What the layout derivation asks of the window: the "PCN - TRT" tab and the learning
    // option "Обучать RPM - TRT (PCN)".
    bool ShowPcnTrtTab = false;
    bool ShowLearnTrtOption = false;
};

}  // namespace veltrano
