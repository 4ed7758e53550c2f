#include "editing/cell_values.h"

#include <algorithm>

#include "calibration/calibration_texts.h"
#include "common/text_forms.h"
#include "editing/cell_walk.h"

namespace veltrano {
namespace {

double Clamp(TableId id, double v, int m, bool& clamped) {
    const auto [low, high] = ValueRangeOf(id, m);
    const double out = std::clamp(v, low, high);
    clamped = clamped || out != v;
    return out;
}

std::vector<std::string> Split(std::string_view text, char by) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(by, from);
        out.emplace_back(text.substr(from, at == std::string_view::npos ? text.npos : at - from));
        if (at == std::string_view::npos)
            return out;
        from = at + 1;
    }
}

// Rows of cells; CR LF and LF both end a row, a trailing line end adds no row.
std::vector<std::vector<std::string>> ParseRows(std::string_view text) {
    std::string plain;
    for (char ch : text) {
        if (ch != '\r')
            plain += ch;
    }
    while (!plain.empty() && plain.back() == '\n')
        plain.pop_back();
    std::vector<std::vector<std::string>> rows;
    if (plain.empty())
        return rows;
    for (const std::string& line : Split(plain, '\n'))
        rows.push_back(Split(line, '\t'));
    return rows;
}

// The cell shows the byte the value is stored as, so what the grid shows is what the image and
// the ECU get.
void SetStored(TextGrid& grid, TableId id, CellRef cell, double v, int m, char sep) {
    const std::uint8_t b = *TextByteOf(id, GeneralText(v, sep), m, sep);
    grid.SetDecoded(cell.col, cell.row, ByteTextOf(id, b, m, sep), b);
}

}  // namespace

std::string NotNumberMessage(std::string_view text) {
    return "«" + std::string(text) + "» " + texts::kCellNotNumber;
}

ValuesResult ApplyValue(TextGrid& grid, TableId id, const GridSelection& sel, ValueOp op, double x,
                        int m, char sep) {
    ValuesResult out;
    const ValueArea area = AreaOf(id);
    std::vector<std::pair<CellRef, double>> values;
    const GridSelection s = ClipSelection(grid, sel);
    for (int c = s.left; c <= s.right; ++c) {
        for (int r = s.top; r <= s.bottom; ++r) {
            if (!area.Contains(c, r))
                continue;
            double v = x;
            if (op != ValueOp::Set) {
                const std::optional<double> now = ParseNumber(grid.Cell(c, r), sep);
                if (!now)
                    return {false, false, NotNumberMessage(grid.Cell(c, r))};
                v = op == ValueOp::Add ? *now + x : *now * (1 + x / 100);
            }
            values.push_back({{c, r}, Clamp(id, v, m, out.clamped)});
        }
    }
    for (const auto& [cell, v] : values)
        SetStored(grid, id, cell, v, m, sep);
    return out;
}

std::string CopyBlock(const TextGrid& grid, const GridSelection& sel) {
    const GridSelection s = ClipSelection(grid, sel);
    std::string out;
    for (int r = s.top; r <= s.bottom; ++r) {
        for (int c = s.left; c <= s.right; ++c) {
            out += grid.Cell(c, r);
            out += c < s.right ? "\t" : "\n";
        }
    }
    return out;
}

PasteResult PasteBlock(TextGrid& grid, TableId id, int left, int top, std::string_view text, int m,
                       char sep) {
    PasteResult out;
    const std::vector<std::vector<std::string>> rows = ParseRows(text);
    if (rows.empty()) {
        out.refusal = PasteRefusal::Empty;
        return out;
    }
    const ValueArea area = AreaOf(id);
    std::vector<std::pair<CellRef, double>> values;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            const int c = left + static_cast<int>(j);
            const int r = top + static_cast<int>(i);
            if (!area.Contains(c, r)) {
                out.refusal = PasteRefusal::DoesNotFit;
                return out;
            }
            const std::optional<double> v = ParseNumber(rows[i][j], sep);
            if (!v) {
                out.refusal = PasteRefusal::NotANumber;
                out.badText = rows[i][j];
                return out;
            }
            values.push_back({{c, r}, Clamp(id, *v, m, out.clamped)});
        }
    }
    for (const auto& [cell, v] : values)
        SetStored(grid, id, cell, v, m, sep);
    return out;
}

}  // namespace veltrano
