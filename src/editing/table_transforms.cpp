#include "editing/table_transforms.h"

#include <optional>

#include "common/text_forms.h"
#include "editing/cell_walk.h"

namespace veltrano {
namespace {

constexpr int kTableSize = 16;

// v := a + (pos - first) / (last - first) * (b - a), the ends read afresh for every cell.
bool Interpolate(TextGrid& grid, const GridSelection& sel, bool alongX, Messages* messages,
                 char sep) {
    const GridSelection s = ClipSelection(grid, sel);
    const int first = alongX ? s.left : s.top;
    const int last = alongX ? s.right : s.bottom;
    if (last - first <= 0)
        return true;
    const int outerFirst = alongX ? s.left : s.top;
    const int outerLast = alongX ? s.right : s.bottom;
    const int innerFirst = alongX ? s.top : s.left;
    const int innerLast = alongX ? s.bottom : s.right;
    for (int outer = outerFirst; outer <= outerLast; ++outer) {
        for (int inner = innerFirst; inner <= innerLast; ++inner) {
            const int c = alongX ? outer : inner;
            const int r = alongX ? inner : outer;
            const std::optional<double> a = alongX ? CellNumber(grid, first, r, messages, sep)
                                                   : CellNumber(grid, c, first, messages, sep);
            if (!a)
                return false;
            const std::optional<double> b = alongX ? CellNumber(grid, last, r, messages, sep)
                                                   : CellNumber(grid, c, last, messages, sep);
            if (!b)
                return false;
            const double v = *a + static_cast<double>(outer - first) / (last - first) * (*b - *a);
            grid.SetCell(c, r, GeneralText(v, sep));
        }
    }
    return true;
}

// v := p + (q - p) / 3 of the two neighbours, through the general text, stored with `format`.
bool SmoothCell(TextGrid& grid, int c, int r, int pc, int pr, int qc, int qr,
                std::string_view format, Messages* messages, char sep) {
    const std::optional<double> p = CellNumber(grid, pc, pr, messages, sep);
    if (!p)
        return false;
    const std::optional<double> q = CellNumber(grid, qc, qr, messages, sep);
    if (!q)
        return false;
    const std::optional<double> v = ParseNumber(GeneralText(*p + (*q - *p) / 3, sep), sep);
    if (!v)
        return false;
    grid.SetCell(c, r, FormatMask(format, *v, sep));
    return true;
}

}  // namespace

bool InterpolateX(TextGrid& grid, const GridSelection& sel, Messages* messages, char sep) {
    return Interpolate(grid, sel, true, messages, sep);
}

bool InterpolateY(TextGrid& grid, const GridSelection& sel, Messages* messages, char sep) {
    return Interpolate(grid, sel, false, messages, sep);
}

bool SmoothTable(TextGrid& grid, std::string_view format, Messages* messages, char sep) {
    for (int c = 2; c < kTableSize; ++c) {
        for (int r = 1; r <= kTableSize; ++r) {
            if (!SmoothCell(grid, c, r, c - 1, r, c + 1, r, format, messages, sep))
                return false;
        }
    }
    for (int c = 1; c <= kTableSize; ++c) {
        for (int r = 2; r < kTableSize; ++r) {
            if (!SmoothCell(grid, c, r, c, r - 1, c, r + 1, format, messages, sep))
                return false;
        }
    }
    return true;
}

}  // namespace veltrano
