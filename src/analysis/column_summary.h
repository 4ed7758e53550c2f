// A column's envelope ready for many redraws: the span of every block of rows is taken once,
// so reducing a million rows to a plot's pixels reads whole blocks and only the rows at the
// pixels' ends. Gives exactly what DecimateColumn gives.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/decimation.h"
#include "analysis/log_table.h"

namespace veltrano {

class ColumnSummary {
  public:
    static constexpr std::size_t kBlock = 64;

    // `table` and `keep` (as for DecimateColumn) must outlive the summary.
    ColumnSummary(const LogTable& table, int column, std::span<const std::uint8_t> keep = {});

    // As DecimateColumn(table, column, t0, t1, pixels, keep).
    std::vector<PixelSpan> Decimate(double t0, double t1, int pixels) const;

  private:
    void AddRows(std::size_t from, std::size_t to, PixelSpan& out) const;
    void AddSpan(std::size_t from, std::size_t to, PixelSpan& out) const;

    const LogTable& table_;
    int column_;
    std::span<const std::uint8_t> keep_;  // empty: every row
    std::vector<PixelSpan> blocks_;
};

}  // namespace veltrano
