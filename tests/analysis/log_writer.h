// Session logs for the analysis tests, written by the tool's own log writer, and their
// spreadsheet-saved forms.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "common/text_forms.h"
#include "log/log_row.h"
#include "log/session_log.h"

namespace veltrano {

struct LogRowSpec {
    LogTime time;
    LiveRecord live;
    double lambdaAfr = 0;
    CycleLogValues cycle;
};

inline std::filesystem::path TestDir(const std::string& name) {
    const auto dir = std::filesystem::path(VELTRANO_BINARY_DIR) / "tests" / "analysis" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Writes the rows through SessionLog (Windows-1251, CR LF) and returns the file's path.
inline std::filesystem::path WriteOwnLog(const std::filesystem::path& dir,
                                         const std::vector<LogRowSpec>& rows) {
    SetDecimalSeparator(',');
    SessionLog log(dir, "(01.02.26_10.00)");
    for (const LogRowSpec& r : rows)
        log.SaveLog(BuildLogRow(r.time, r.live, r.lambdaAfr, r.cycle));
    return log.Path();
}

inline std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// What a spreadsheet saving the file as CSV for a Russian locale makes of it: UTF-8, ";"
// between fields, "," as the decimal mark, LF line ends, optionally a BOM.
inline std::string AsSpreadsheetSaved(const std::string& own, bool bom) {
    std::string text = Cp1251ToUtf8(own);
    std::string out = bom ? "\xEF\xBB\xBF" : "";
    for (char c : text) {
        if (c == '\r')
            continue;
        out += c == ',' ? ';' : c == '.' ? ',' : c;
    }
    return out;
}

}  // namespace veltrano
