// Where Settings.ini lives, and which serial ports the machine offers.
#pragma once

#include <string>
#include <vector>

namespace veltrano {

inline constexpr const char* kSettingsFileName = "Settings.ini";

// Settings.ini beside the executable; when that directory is not writable (an installed
// build), $XDG_CONFIG_HOME/veltrano/Settings.ini (or ~/.config/veltrano/...), created on demand.
std::string SettingsFilePath(const std::string& executableDir);

// The serial device files present under devDir: ttyUSB*, then ttyACM*, then ttyS*, each
// group in numeric order, as full paths ("/dev/ttyUSB0").
std::vector<std::string> ListSerialPorts(const std::string& devDir = "/dev");

}  // namespace veltrano
