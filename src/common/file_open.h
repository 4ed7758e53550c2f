// fopen for a filesystem path whatever its characters: Windows paths are wide.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace veltrano {

inline std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(path.c_str(), wide_mode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace veltrano
