// Where Settings.ini lives, and which serial ports the machine offers.
#pragma once

#include <string>
#include <vector>

namespace veltrano {

inline constexpr const char* kSettingsFileName = "Settings.ini";

// The executable lives in a system directory (/usr/..., /opt/...): installed from a package.
bool InstalledInSystem(const std::string& executableDir);

// Settings.ini beside the executable; when the program is installed in the system or that
// directory is not writable, $XDG_CONFIG_HOME/veltrano/Settings.ini (or
// ~/.config/veltrano/...), created on demand.
std::string SettingsFilePath(const std::string& executableDir);

// The serial device files present under devDir: ttyUSB*, then ttyACM*, then ttyS*, each
// group in numeric order, as full paths ("/dev/ttyUSB0").
std::vector<std::string> ListSerialPorts(const std::string& devDir = "/dev");

}  // namespace veltrano
