// The CSV session log: one file per connection, one line per live record.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano {

class SessionLog {
  public:
    // Files go to `directory` (normally "Logs" under the current directory) named
    // stamp + ".csv".
    SessionLog(std::filesystem::path directory, std::string stamp);
    // Tries once more to write the lines still waiting.
    ~SessionLog();
    SessionLog(const SessionLog&) = delete;
    SessionLog& operator=(const SessionLog&) = delete;

    // The directory "Logs" under the process's current directory.
    static std::filesystem::path DefaultDirectory();
    // Creates the directory; failure is ignored (it usually exists already).
    static void CreateDirectory(const std::filesystem::path& directory);

    const std::filesystem::path& Path() const { return path_; }

    // Appends the line (UTF-8, written in Windows-1251 with CR LF); a new file gets the
    // header first. The file is opened and closed per line. On failure returns false, keeps
    // the reason and keeps the line: waiting lines go out, in order, before the next line
    // once the file can be written again. A failed write leaves no part of a line behind.
    bool SaveLog(std::string_view line);

    const std::string& LastError() const { return error_; }
    // Lines not written yet.
    std::size_t Waiting() const { return waiting_.size(); }
    // Lines given up because more than kWaitingLimit were waiting (the oldest go first).
    long Dropped() const { return dropped_; }

    static constexpr std::size_t kWaitingLimit = 20000;

  private:
    bool WriteWaiting();

    std::filesystem::path path_;
    std::string error_;
    std::deque<std::string> waiting_;  // encoded lines with their CR LF
    long dropped_ = 0;
};

}  // namespace veltrano
