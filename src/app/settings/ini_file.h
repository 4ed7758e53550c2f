// A Windows-style INI file: [Section] headers, Key=Value lines. Section and key names
// compare without regard to ASCII case, as the Windows profile functions do. Lines the
// reader does not understand (comments, blanks) are kept when the file is written back.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace veltrano {

class IniFile {
  public:
    // Parses text; CR LF and LF line ends are both accepted.
    static IniFile Parse(const std::string& text);
    // Reads a file; nullopt when it cannot be read.
    static std::optional<IniFile> Load(const std::string& path);

    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // Decimal integer (blanks around it allowed, "0x" hex accepted); the fallback otherwise.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);

    // The file's text with CR LF line ends.
    std::string Text() const;
    // Writes the whole file through a temporary file beside it; false on any I/O error.
    bool Save(const std::string& path) const;

  private:
    struct Line {
        std::string section;  // the section the line belongs to
        std::string key;      // empty for headers, comments and blanks
        std::string text;     // the line as written
    };
    int FindKey(const std::string& section, const std::string& key) const;
    int SectionEnd(const std::string& section) const;
    std::vector<Line> lines_;
};

}  // namespace veltrano
