// The table export file: identifier line, name line and 256 cell lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/firmware_layout.h"
#include "calibration/text_grid.h"
#include "common/messages.h"

namespace veltrano {

// Tabs of the table page control by position, hidden tabs counted.
enum class ExportTab { BCN = 0, PCN = 1, AFR = 2, UOZ = 3 };

struct ExportHeader {
    std::string identifier;  // line 1, e.g. "[FE00FF0F]", or empty
    std::string name;        // line 2, e.g. "Name=УОЗ"
};

// nullopt for a tab position with no export (the menu item does nothing there).
std::optional<ExportTab> ExportTabAt(int position);

// learnTrtChecked: the learning option "Обучать RPM - TRT (PCN)" is checked.
ExportHeader ExportHeaderFor(ExportTab tab, const FirmwareLayout& layout, bool learnTrtChecked);

// The 258 lines (UTF-8, no line ends): header, then X<c>Z<r>=<text>, columns outer, rows inner.
std::vector<std::string> ExportLines(const TextGrid& table, const ExportHeader& header);

// Writes the lines in Windows-1251 with CR LF after each, through a temporary file renamed over
// the target. On failure a warning is shown and false returned.
bool SaveTableOne(const std::string& path, const std::vector<std::string>& lines,
                  Messages& messages);

}  // namespace veltrano
