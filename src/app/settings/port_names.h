// Serial ports as the settings dialog offers them: the device with its description and
// maker, the stable /dev/serial/by-id name where there is one, and a note when the user may
// not open the port.
#pragma once

#include <string>
#include <vector>

namespace veltrano {

// One port as the system describes it.
struct PortInfo {
    std::string device;         // "/dev/ttyUSB0"
    std::string description;    // "FT232R USB UART"
    std::string manufacturer;   // "FTDI"
    std::string byId;           // "/dev/serial/by-id/usb-FTDI_…-port0", or empty
    bool accessDenied = false;  // opening it fails with EACCES
};

// One line of the port list: what it shows and the path Settings.ini keeps.
struct PortEntry {
    std::string text;
    std::string path;
};

inline constexpr char kPortNoAccess[] = "нет доступа: добавьте пользователя в группу dialout";

// "/dev/ttyUSB0 — FT232R USB UART (FTDI)"; the device alone when nothing describes it.
std::string PortText(const std::string& path, const PortInfo& info);

// Every port by its device name, followed by its by-id name when it has one; sorted by
// device, the by-id line right after its device.
std::vector<PortEntry> PortEntries(std::vector<PortInfo> ports);

// The link in `byIdDir` that leads to `device`, or empty.
std::string ByIdName(const std::string& device, const std::string& byIdDir = "/dev/serial/by-id");

// Opening `device` for reading and writing would be refused for lack of rights.
bool AccessDenied(const std::string& device);

}  // namespace veltrano
