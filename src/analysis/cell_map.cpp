#include "analysis/cell_map.h"

#include <algorithm>
#include <cmath>

namespace veltrano {

CellMap::CellMap(const LogTable& table, const RowCells& cells, std::span<const std::uint8_t> keep)
    : cells_(cells), keep_(keep.begin(), keep.end()) {
    const std::size_t n = table.Rows();
    if (keep_.size() != n)
        keep_.assign(n, 1);
    const auto wideband = table.Column(logcol::WidebandAfr);
    const auto target = table.Column(logcol::TargetAfr);
    // Sums per cell, then mean and spread; the sums of squares are taken about a first
    // guess of 0 error, which mixture errors stay close to.
    std::array<std::array<double, 16>, 16> sum{};
    std::array<std::array<double, 16>, 16> squares{};
    for (std::size_t i = 0; i < n; ++i) {
        const int c = cells.c[i];
        const int r = cells.r[i];
        if (keep_[i] == 0 || c == 0 || r == 0)
            continue;
        ++rowsKept_;
        CellStats& s = stats_[c - 1][r - 1];
        ++s.rows;
        if (wideband[i] > 0 && target[i] > 0) {
            const double e = static_cast<double>(wideband[i]) / target[i] - 1.0;
            ++s.mixtureRows;
            sum[c - 1][r - 1] += e;
            squares[c - 1][r - 1] += e * e;
        }
    }
    for (int c = 0; c < 16; ++c) {
        for (int r = 0; r < 16; ++r) {
            CellStats& s = stats_[c][r];
            if (s.mixtureRows == 0)
                continue;
            const double k = static_cast<double>(s.mixtureRows);
            s.meanError = sum[c][r] / k;
            s.spread = std::sqrt(std::max(0.0, squares[c][r] / k - s.meanError * s.meanError));
        }
    }
}

std::vector<std::uint32_t> CellMap::RowsOf(int c, int r) const {
    std::vector<std::uint32_t> rows;
    for (std::size_t i = 0; i < keep_.size(); ++i) {
        if (keep_[i] != 0 && cells_.c[i] == c && cells_.r[i] == r)
            rows.push_back(static_cast<std::uint32_t>(i));
    }
    return rows;
}

}  // namespace veltrano
