#include "log/session_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/code_page.h"
#include "log/log_texts.h"

namespace veltrano {

SessionLog::SessionLog(std::filesystem::path directory, std::string stamp)
    : path_(std::move(directory) / (stamp + kLogExtension)) {}

std::filesystem::path SessionLog::DefaultDirectory() {
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    return cwd / kLogDirectory;
}

void SessionLog::CreateDirectory(const std::filesystem::path& directory) {
    std::error_code ec;
    std::filesystem::create_directory(directory, ec);
}

bool SessionLog::SaveLog(std::string_view line) {
    std::error_code ec;
    const bool fresh = !std::filesystem::exists(path_, ec);
    std::string bytes;
    if (fresh)
        bytes = Utf8ToCp1251(kLogHeader) + "\r\n";
    bytes += Utf8ToCp1251(line);
    bytes += "\r\n";

    std::FILE* file = std::fopen(path_.c_str(), "ab");
    if (file == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int saved = errno;
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        error_ = std::strerror(written ? errno : saved);
        return false;
    }
    error_.clear();
    return true;
}

}  // namespace veltrano
