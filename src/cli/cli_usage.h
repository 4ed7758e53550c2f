// Usage lines of veltrano-cli and of each of its commands.
#pragma once

#include <string>

namespace veltrano::cli {

// Every command's usage, for --help and for a command line that names no known command.
std::string Usage();
// The usage of one command, empty for an unknown one.
std::string CommandUsage(const std::string& command);

}  // namespace veltrano::cli
