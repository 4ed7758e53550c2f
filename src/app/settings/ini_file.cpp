#include "app/settings/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace veltrano {
namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

IniFile IniFile::Parse(const std::string& text) {
    IniFile ini;
    std::string section;
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::string t = Trim(raw);
        Line line{section, {}, raw};
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = Trim(t.substr(1, t.size() - 2));
            line.section = section;
        } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
            const auto eq = t.find('=');
            if (eq != std::string::npos && eq > 0)
                line.key = Trim(t.substr(0, eq));
        }
        ini.lines_.push_back(line);
    }
    return ini;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return Parse(text.str());
}

int IniFile::FindKey(const std::string& section, const std::string& key) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (!l.key.empty() && SameName(l.section, section) && SameName(l.key, key))
            return int(i);
    }
    return -1;
}

// Index just past the last line of the first block of the section, or -1 when absent.
int IniFile::SectionEnd(const std::string& section) const {
    int end = -1;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (SameName(lines_[i].section, section)) {
            end = int(i) + 1;
        } else if (end >= 0) {
            break;
        }
    }
    return end;
}

std::optional<std::string> IniFile::Value(const std::string& section,
                                          const std::string& key) const {
    const int i = FindKey(section, key);
    if (i < 0)
        return std::nullopt;
    const std::string& text = lines_[size_t(i)].text;
    return Trim(text.substr(text.find('=') + 1));
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    return Value(section, key).value_or(fallback);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    const auto v = Value(section, key);
    if (!v || v->empty())
        return fallback;
    const bool hex = v->size() > 2 && (*v)[0] == '0' && ((*v)[1] == 'x' || (*v)[1] == 'X');
    const char* begin = v->c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(begin, &end, hex ? 16 : 10);
    if (end == begin || *end != '\0' || errno == ERANGE || n < std::numeric_limits<int>::min() ||
        n > std::numeric_limits<int>::max())
        return fallback;
    return int(n);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    const int i = FindKey(section, key);
    if (i >= 0) {
        lines_[size_t(i)].text = lines_[size_t(i)].key + "=" + value;
        return;
    }
    const Line line{section, key, key + "=" + value};
    int end = SectionEnd(section);
    if (end < 0) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty())
            lines_.push_back({"", "", ""});
        lines_.push_back({section, "", "[" + section + "]"});
        lines_.push_back(line);
        return;
    }
    // Keep trailing blank lines of the section after the new key.
    while (end > 0 && Trim(lines_[size_t(end - 1)].text).empty())
        --end;
    lines_.insert(lines_.begin() + end, line);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

std::string IniFile::Text() const {
    std::string out;
    for (const Line& l : lines_)
        out += l.text + "\r\n";
    return out;
}

bool IniFile::Save(const std::string& path) const {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << Text();
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    // Replaces the old file on Windows too, where rename() refuses an existing target.
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace veltrano
