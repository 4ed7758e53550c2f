#include "link/win32_port_rules.h"

#include <cctype>

namespace veltrano::win32_port {
namespace {

constexpr char kDeviceNamespace[] = "\\\\.\\";
constexpr int kLastCom = 256;

}  // namespace

std::optional<int> ComNumber(const std::string& name) {
    std::string n = name;
    if (n.rfind(kDeviceNamespace, 0) == 0)
        n = n.substr(sizeof kDeviceNamespace - 1);
    if (n.size() < 4 || n.size() > 6)
        return std::nullopt;
    for (int i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(n[i])) != "COM"[i])
            return std::nullopt;
    }
    if (n[3] == '0')
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 3; i < n.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(n[i])))
            return std::nullopt;
        number = number * 10 + (n[i] - '0');
    }
    if (number < 1 || number > kLastCom)
        return std::nullopt;
    return number;
}

std::string DevicePath(const std::string& name) {
    if (const auto number = ComNumber(name))
        return kDeviceNamespace + std::string("COM") + std::to_string(*number);
    if (name.empty() || name.rfind(kDeviceNamespace, 0) == 0)
        return name;
    return kDeviceNamespace + name;
}

std::vector<std::string> AllComNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= kLastCom; ++i)
        names.push_back("COM" + std::to_string(i));
    return names;
}

std::optional<std::uint32_t> SpeedCode(int baud) {
    if (baud < 110 || baud > 921600)
        return std::nullopt;
    return static_cast<std::uint32_t>(baud);
}

Timeouts LineTimeouts(int baud) {
    const int safe = baud > 0 ? baud : 9600;
    // Ten bits a byte, doubled, rounded up to whole milliseconds.
    const auto per_byte = static_cast<std::uint32_t>((20000 + safe - 1) / safe);
    return {0xFFFFFFFFu, 0, 0, per_byte, 1000};
}

}  // namespace veltrano::win32_port
