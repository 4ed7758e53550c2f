// The gauge log "LogAEM.txt": opened, appended to and closed for every line.
#pragma once

#include <filesystem>
#include <string>

namespace veltrano {

// Appends `line` with CR LF to "LogAEM.txt" in `directory` (empty: the working directory),
// creating the file when missing. False when the file cannot be written.
bool AppendAemLog(const std::filesystem::path& directory, const std::string& line);

}  // namespace veltrano
