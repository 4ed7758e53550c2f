// Small helpers for building images in tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/firmware.h"
#include "common/messages.h"

namespace veltrano::testing {

inline std::vector<std::uint8_t> ZeroImage(std::size_t size = 65536) {
    return std::vector<std::uint8_t>(size, 0);
}

inline void PutText(std::vector<std::uint8_t>& img, std::size_t addr, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        img[addr + i] = static_cast<std::uint8_t>(text[i]);
}

inline TFirmware Loaded(std::vector<std::uint8_t> bytes) {
    TFirmware fw;
    SilentMessages quiet;
    fw.LoadFirmwareBytes(std::move(bytes), quiet);
    return fw;
}

// A fresh directory under the build tree for files a test writes.
inline std::filesystem::path TempDir(const std::string& name) {
    const auto dir = std::filesystem::path(VELTRANO_BINARY_DIR) / "test-files" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& b) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace veltrano::testing
