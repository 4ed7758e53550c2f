// Argument parsing and image opening shared by the commands.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"

namespace veltrano::cli {

struct Parsed {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::map<std::string, std::string> values;
    std::string error;  // empty when the arguments were understood
};

// flags: options without a value; valued: options followed by a value.
Parsed ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& flags,
                 const std::set<std::string>& valued, std::size_t positionalCount);

// The separator of --decimal (the locale's by default); nullopt for anything but "," or ".".
std::optional<char> DecimalOption(const Parsed& parsed);

// Opens the image as the window does; prints one line on failure.
bool OpenImage(const std::string& path, Calibration& out, char sep);

// A JSON string literal of s (UTF-8 kept as it is).
std::string JsonString(const std::string& s);

}  // namespace veltrano::cli
