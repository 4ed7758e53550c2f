// The program's version (the CMake project's) and the commit it was built from.
#pragma once

#include <string>

namespace veltrano {

const char* BuildVersion();  // "4.0.1"
const char* BuildCommit();   // short hash, "-dirty" with uncommitted changes, or "unknown"

// "veltrano-cli 4.0.1 (commit 0123456789ab)", the answer to --version.
inline std::string VersionLine(const std::string& program) {
    return program + " " + BuildVersion() + " (commit " + BuildCommit() + ")";
}

}  // namespace veltrano
