#include "log/session_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/code_page.h"
#include "common/file_open.h"
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

SessionLog::~SessionLog() {
    if (!waiting_.empty())
        WriteWaiting();
}

bool SessionLog::SaveLog(std::string_view line) {
    waiting_.push_back(Utf8ToCp1251(line) + "\r\n");
    if (waiting_.size() > kWaitingLimit) {
        waiting_.pop_front();
        ++dropped_;
    }
    return WriteWaiting();
}

// Writes every waiting line in one append; on failure cuts the file back to its length
// before, so a torn line never stays, and keeps the lines.
bool SessionLog::WriteWaiting() {
    // An empty file is one a failed first write cut back: it gets the header too.
    std::error_code ec;
    const bool fresh =
        !std::filesystem::exists(path_, ec) || std::filesystem::file_size(path_, ec) == 0;
    std::FILE* file = OpenFile(path_, "ab");
    if (file == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    std::string bytes;
    if (fresh)
        bytes = Utf8ToCp1251(kLogHeader) + "\r\n";
    for (const std::string& l : waiting_)
        bytes += l;
    const long before = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int saved = errno;
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        error_ = std::strerror(written ? errno : saved);
        if (before >= 0)
            std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(before), ec);
        return false;
    }
    waiting_.clear();
    error_.clear();
    return true;
}

}  // namespace veltrano
