// The CSV session log: one file per connection, one line per live record.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano {

class SessionLog {
  public:
    // Files go to `directory` (normally "Logs" under the current directory) named
    // stamp + ".csv".
    SessionLog(std::filesystem::path directory, std::string stamp);

    // The directory "Logs" under the process's current directory.
    static std::filesystem::path DefaultDirectory();
    // Creates the directory; failure is ignored (it usually exists already).
    static void CreateDirectory(const std::filesystem::path& directory);

    const std::filesystem::path& Path() const { return path_; }

    // Appends the line (UTF-8, written in Windows-1251 with CR LF); a new file gets the
    // header first. The file is opened and closed per line. On failure returns false and
    // keeps the reason; the next call simply tries again.
    bool SaveLog(std::string_view line);

    const std::string& LastError() const { return error_; }

  private:
    std::filesystem::path path_;
    std::string error_;
};

}  // namespace veltrano
