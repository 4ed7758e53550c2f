// The mixture per cell of the fuel table over a recorded log: how many rows fell into each
// cell, and the mean and spread of the mixture error (wideband AFR over the ECU's target,
// minus 1) of those rows.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/log_table.h"
#include "analysis/row_filter.h"

namespace veltrano {

struct CellStats {
    long rows = 0;         // rows kept by the filter in this cell
    long mixtureRows = 0;  // of them, rows with a wideband reading and a target AFR
    double meanError = 0;  // mean of wideband / target - 1
    double spread = 0;     // standard deviation of the same
};

class CellMap {
  public:
    // `keep` as FilterRows gives it (empty: every row).
    CellMap(const LogTable& table, const RowCells& cells, std::span<const std::uint8_t> keep);

    // c, r from 1 to 16.
    const CellStats& At(int c, int r) const { return stats_[c - 1][r - 1]; }
    long RowsKept() const { return rowsKept_; }

    // The kept rows of a cell, in order (for highlighting them in the plots).
    std::vector<std::uint32_t> RowsOf(int c, int r) const;

  private:
    RowCells cells_;
    std::vector<std::uint8_t> keep_;
    std::array<std::array<CellStats, 16>, 16> stats_{};
    long rowsKept_ = 0;
};

}  // namespace veltrano
