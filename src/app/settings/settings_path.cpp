#include "app/settings/settings_path.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace veltrano {
namespace fs = std::filesystem;

bool InstalledInSystem(const std::string& executableDir) {
    for (const char* prefix : {"/usr/", "/opt/", "/bin", "/sbin"}) {
        if (executableDir.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

std::string SettingsFilePath(const std::string& executableDir) {
    if (!executableDir.empty() && !InstalledInSystem(executableDir) &&
        ::access(executableDir.c_str(), W_OK) == 0)
        return (fs::path(executableDir) / kSettingsFileName).string();
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = fs::path(home) / ".config";
    } else {
        base = fs::temp_directory_path();
    }
    const fs::path dir = base / "veltrano";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return (dir / kSettingsFileName).string();
}

std::vector<std::string> ListSerialPorts(const std::string& devDir) {
    static const char* const kPrefixes[] = {"ttyUSB", "ttyACM", "ttyS"};
    struct Port {
        int group;
        long number;
        std::string path;
    };
    std::vector<Port> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(devDir, ec)) {
        const std::string name = entry.path().filename().string();
        for (int g = 0; g < 3; ++g) {
            const std::string prefix = kPrefixes[g];
            if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::string digits = name.substr(prefix.size());
            if (!std::all_of(digits.begin(), digits.end(),
                             [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            found.push_back({g, std::strtol(digits.c_str(), nullptr, 10), entry.path().string()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Port& a, const Port& b) {
        return a.group != b.group ? a.group < b.group : a.number < b.number;
    });
    std::vector<std::string> paths;
    for (const Port& p : found)
        paths.push_back(p.path);
    return paths;
}

}  // namespace veltrano
