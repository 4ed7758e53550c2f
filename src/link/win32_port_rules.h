// The Win32 serial backend's rules that need no Windows API: port names, the line speed
// handed to the driver and the port's time limits. Plain code, so they are tested anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrano::win32_port {

// 1..256 for "COM1".."COM256" (any case), "\\.\COM10" included; nothing otherwise.
std::optional<int> ComNumber(const std::string& name);

// The name CreateFileW opens, in the device namespace ("\\.\COM10": COM10 and up cannot be
// opened by their plain name); a name already there stays as it is.
std::string DevicePath(const std::string& name);

// "COM1" … "COM256", the names a port list offers when the registry lists none.
std::vector<std::string> AllComNames();

// DCB.BaudRate for a line speed: the CBR_ codes are the speeds themselves, and the drivers
// take any other speed (10400) as its number. Nothing for speeds out of reach.
std::optional<std::uint32_t> SpeedCode(int baud);

// COMMTIMEOUTS in the order of its fields.
struct Timeouts {
    std::uint32_t readInterval;
    std::uint32_t readTotalMultiplier;
    std::uint32_t readTotalConstant;
    std::uint32_t writeTotalMultiplier;
    std::uint32_t writeTotalConstant;
};

// Reads return at once with what is waiting (MAXDWORD interval, no totals); a write gets the
// time of its bytes at the line speed twice over plus a second, so a line whose other end
// stopped reading cannot hang the caller.
Timeouts LineTimeouts(int baud);

}  // namespace veltrano::win32_port
