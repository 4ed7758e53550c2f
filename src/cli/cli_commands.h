// The commands of veltrano-cli. Each returns the process exit code.
#pragma once

#include <string>
#include <vector>

namespace veltrano::cli {

using Args = std::vector<std::string>;

int Info(const Args& args);
int Show(const Args& args);
int Export(const Args& args);
int Checksum(const Args& args);
int Resave(const Args& args);
int DemoImage(const Args& args);
// Exit 0: no table differs, 1: some do, 2: an error.
int Diff(const Args& args);

// One line on stderr; returns the exit code for bad usage or input.
int Fail(const std::string& message);

}  // namespace veltrano::cli
