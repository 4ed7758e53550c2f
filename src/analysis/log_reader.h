// Reads a session log: the tool's own file (Windows-1251, ",", "." in reals, CR LF) or the
// same file after a spreadsheet saved it (";" separators, "," decimals, UTF-8 with or without
// BOM). Malformed rows are skipped and counted; a file that is not a log is refused.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/log_table.h"

namespace veltrano {

enum class LogFlavour { Own, Spreadsheet };

struct LogReadResult {
    bool ok = false;
    std::string error;  // Russian, for the message box, when !ok
    LogTable table;
    LogFlavour flavour = LogFlavour::Own;
    bool utf8 = false;  // the header was UTF-8 (else Windows-1251)
    long skippedRows = 0;
    std::vector<long> skippedLines;  // the first few skipped rows, 1-based line numbers
};

// Called now and then with the share of the file read; returning false stops the read
// (the result is then not ok, with an empty error).
using LogReadProgress = std::function<bool(double)>;

LogReadResult ReadSessionLog(const std::filesystem::path& path,
                             const LogReadProgress& progress = {});
// The same from bytes in memory.
LogReadResult ReadSessionLogBytes(std::string_view bytes);

}  // namespace veltrano
