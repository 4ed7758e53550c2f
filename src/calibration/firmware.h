// The firmware image in memory: reading, identification, layout, axes and checksum.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "calibration/firmware_layout.h"
#include "common/messages.h"

namespace veltrano {

inline constexpr std::size_t kMinImageSize = 65536;

class TFirmware {
  public:
    bool FlagTRS239 = false;
    bool Flag_DAD_BCN = false;
    double FdadNaklon = 0;     // kPa per volt
    double FdadSMeshenie = 0;  // volts
    std::array<std::int32_t, 16> FRPMAxis{};
    std::array<std::int32_t, 32> FRPMAxis_32{};
    std::array<std::int32_t, 16> FThrottleAxis{};
    std::array<std::int32_t, 32> FThrottleAxis_32{};
    std::array<std::int32_t, 16> FDADAxis{};
    std::array<std::int32_t, 32> FdadAxis_32{};
    std::vector<std::uint8_t> FFirmwareData;
    std::vector<std::uint8_t> FFirmwareWriteOlt;  // bytes 0x5F00..0x9FFF as read

    // Reads the file. A missing file gives false silently; a file shorter than 64 KiB (or one
    // that cannot be read) gives "Неверный размер прошивки" and false; nothing changes then.
    bool LoadFirmware(const std::string& fileName, Messages& messages);
    // Takes bytes already in memory (same size rule, same message).
    bool LoadFirmwareBytes(std::vector<std::uint8_t> bytes, Messages& messages);

    // Image byte, 0 outside the image.
    std::uint8_t Byte(std::size_t addr) const;
    // Little-endian 16-bit word, low byte at addr.
    std::uint16_t Word(std::size_t addr) const;

    // The five bytes at startAddres as characters of the same codes.
    std::string FirmNameLoad(std::uint16_t startAddres) const;
    // Bits size..0 of value as '1'/'0', most significant first.
    static std::string IntToBin(std::int32_t value, std::int32_t size);
    // 24-character bit string of the three bytes.
    std::string FFlagLoad(std::uint16_t startaddres, std::uint16_t startaddres2,
                          std::uint16_t startaddres3) const;
    // Bit n (0 = least significant) of the byte at addr.
    bool Bit(std::size_t addr, int n) const;

    void NaklonDAD(std::uint16_t naklon, std::uint16_t smeshenie);
    void NaklonDAD_J7ES(std::uint16_t naklon, std::uint16_t smeshenie);

    // Recomputes the checksum words in place; only a 65 536-byte image is touched.
    static void CorrectCRC(std::span<std::uint8_t> data);
    // True when the stored checksum matches (always true for images of another length).
    static bool ChecksumCorrect(std::span<const std::uint8_t> data);

    // Copies 256 bytes into the image from startAddr on (bytes beyond the image are dropped).
    void TabFirLoad(std::span<const std::uint8_t> table, std::uint16_t startAddr);

    // Rpm factor: 30, 40, 50 or 0.
    std::int32_t GetQuantValue() const;
    void GetRPMAxis();
    void GetThrottleAxis();
    void GetThrottleAxis_32();
    void GetDadAxis(std::uint16_t startaddrMin1, std::uint16_t StartAddrMin2,
                    std::uint16_t StartAddrMax);
    void GetDadAxis_x32(std::uint16_t startaddrMin1, std::uint16_t StartAddrMin2,
                        std::uint16_t StartAddrMax);
    // The 16 points of the cycle air-fill axis (rows 1..16 of SG_UOZ's column 0 when FlagGBC).
    std::array<std::int32_t, 16> GBCAxis() const;

    static double GetAfrXX(std::uint8_t data);
    // Static flow for countByte 1 or 2; 0 for any other width or a zero divisor.
    double ReadStaticInjTime(std::uint16_t startAddr, int countByte) const;
    // Cylinder volume for countByte 2; 0 otherwise.
    double ReadCilindrVALUE(std::uint16_t startAddr, int countByte) const;
};

// Sets firmwareName (and FlagTRS239) from the nine probes, in order; no match leaves it as is.
void IdentifyFirmware(TFirmware& firmware, FirmwareLayout& layout);
// Derives flags and addresses from firmwareName and the image's configuration bytes.
void LoadFirmwareLayout(TFirmware& firmware, FirmwareLayout& layout);

}  // namespace veltrano
