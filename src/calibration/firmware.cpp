#include "calibration/firmware.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include <filesystem>

#include "calibration/calibration_texts.h"

namespace veltrano {

bool TFirmware::LoadFirmware(const std::string& fileName, Messages& messages) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec)) {
        if (!std::filesystem::exists(fileName, ec))
            return false;
        messages.Warning(texts::kWrongFirmwareSize);
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    const auto size = std::filesystem::file_size(fileName, ec);
    if (!in || ec || size < kMinImageSize) {
        messages.Warning(texts::kWrongFirmwareSize);
        return false;
    }
    std::vector<std::uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
        messages.Warning(texts::kWrongFirmwareSize);
        return false;
    }
    return LoadFirmwareBytes(std::move(bytes), messages);
}

bool TFirmware::LoadFirmwareBytes(std::vector<std::uint8_t> bytes, Messages& messages) {
    if (bytes.size() < kMinImageSize) {
        messages.Warning(texts::kWrongFirmwareSize);
        return false;
    }
    FFirmwareData = std::move(bytes);
    FFirmwareWriteOlt.assign(FFirmwareData.begin() + kAddrOltStart,
                             FFirmwareData.begin() + kAddrOltStart + kOltSize);
    return true;
}

std::uint8_t TFirmware::Byte(std::size_t addr) const {
    return addr < FFirmwareData.size() ? FFirmwareData[addr] : 0;
}

std::uint16_t TFirmware::Word(std::size_t addr) const {
    return static_cast<std::uint16_t>(Byte(addr) | (Byte(addr + 1) << 8));
}

std::string TFirmware::FirmNameLoad(std::uint16_t startAddres) const {
    std::string out;
    for (std::size_t i = 0; i < 5; ++i)
        out += static_cast<char>(Byte(startAddres + i));
    return out;
}

std::string TFirmware::IntToBin(std::int32_t value, std::int32_t size) {
    std::string out;
    for (std::int32_t bit = std::min(size, 31); bit >= 0; --bit) {
        out += ((static_cast<std::uint32_t>(value) >> bit) & 1u) ? '1' : '0';
    }
    return out;
}

std::string TFirmware::FFlagLoad(std::uint16_t startaddres, std::uint16_t startaddres2,
                                 std::uint16_t startaddres3) const {
    return IntToBin(Byte(startaddres), 7) + IntToBin(Byte(startaddres2), 7) +
           IntToBin(Byte(startaddres3), 7);
}

bool TFirmware::Bit(std::size_t addr, int n) const {
    return (Byte(addr) >> n) & 1;
}

void TFirmware::NaklonDAD(std::uint16_t naklon, std::uint16_t smeshenie) {
    FdadNaklon = Word(naklon) / 500.0;
    FdadSMeshenie = Byte(smeshenie) / 256.0 * 5;
}

void TFirmware::NaklonDAD_J7ES(std::uint16_t naklon, std::uint16_t smeshenie) {
    FdadNaklon = Word(naklon) / 125.0;
    FdadSMeshenie = Word(smeshenie) / 1024.0 * 5;
}

namespace {
std::uint16_t ChecksumSum(std::span<const std::uint8_t> data) {
    std::uint32_t s = 0x01FE;
    for (std::size_t i = 0; i <= 0xFFF9; ++i)
        s += data[i];
    s += data[0xFFFC] + data[0xFFFD];
    return static_cast<std::uint16_t>(s);
}
}  // namespace

void TFirmware::CorrectCRC(std::span<std::uint8_t> data) {
    if (data.size() != kMinImageSize)
        return;
    const std::uint16_t s = ChecksumSum(data);
    data[0xFFFE] = static_cast<std::uint8_t>(s & 0xFF);
    data[0xFFFF] = static_cast<std::uint8_t>(s >> 8);
    data[0xFFFA] = static_cast<std::uint8_t>(0xFF - (s & 0xFF));
    data[0xFFFB] = static_cast<std::uint8_t>(0xFF - (s >> 8));
}

bool TFirmware::ChecksumCorrect(std::span<const std::uint8_t> data) {
    if (data.size() != kMinImageSize)
        return true;
    const std::uint16_t s = ChecksumSum(data);
    return data[0xFFFE] == (s & 0xFF) && data[0xFFFF] == (s >> 8) &&
           data[0xFFFA] == 0xFF - (s & 0xFF) && data[0xFFFB] == 0xFF - (s >> 8);
}

void TFirmware::TabFirLoad(std::span<const std::uint8_t> table, std::uint16_t startAddr) {
    const std::size_t n = std::min<std::size_t>(table.size(), 256);
    for (std::size_t k = 0; k < n; ++k) {
        if (startAddr + k < FFirmwareData.size())
            FFirmwareData[startAddr + k] = table[k];
    }
}

double TFirmware::GetAfrXX(std::uint8_t data) {
    return (data + 128) * 14.7 / 256;
}

double TFirmware::ReadStaticInjTime(std::uint16_t startAddr, int countByte) const {
    if (countByte == 1) {
        const std::uint8_t b = Byte(startAddr);
        return b == 0 ? 0 : 362.811791 / b;
    }
    if (countByte == 2) {
        const std::uint16_t w = Word(startAddr);
        return w == 0 ? 0 : 362.811791 / (w / 256.0);
    }
    return 0;
}

double TFirmware::ReadCilindrVALUE(std::uint16_t startAddr, int countByte) const {
    return countByte == 2 ? Word(startAddr) / 100.0 : 0;
}

}  // namespace veltrano
