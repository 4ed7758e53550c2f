#include "app/settings/port_names.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace veltrano {
namespace fs = std::filesystem;

std::string PortText(const std::string& path, const PortInfo& info) {
    std::string text = path;
    if (!info.description.empty() || !info.manufacturer.empty()) {
        text += " — " + info.description;
        if (!info.manufacturer.empty())
            text += info.description.empty() ? info.manufacturer : " (" + info.manufacturer + ")";
    }
    if (info.accessDenied)
        text += std::string(" — ") + kPortNoAccess;
    return text;
}

std::vector<PortEntry> PortEntries(std::vector<PortInfo> ports) {
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
        // ttyS10 after ttyS9: shorter names first within the same prefix.
        return a.device.size() != b.device.size() ? a.device.size() < b.device.size()
                                                  : a.device < b.device;
    });
    std::vector<PortEntry> entries;
    for (const PortInfo& p : ports) {
        entries.push_back({PortText(p.device, p), p.device});
        if (!p.byId.empty())
            entries.push_back({PortText(p.byId, p), p.byId});
    }
    return entries;
}

std::string ByIdName(const std::string& device, const std::string& byIdDir) {
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec)
        return {};
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(byIdDir, ec)) {
        std::error_code one;
        if (fs::canonical(entry.path(), one) == target && !one)
            names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end());
    return names.empty() ? std::string() : names.front();
}

bool AccessDenied(const std::string& device) {
    return ::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

}  // namespace veltrano
