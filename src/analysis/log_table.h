// A session log in memory, one array per column, so a million rows stay small and a plot
// reads a column without touching the others.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "analysis/column_allocator.h"
#include "analysis/log_columns.h"

namespace veltrano {

class LogTable {
  public:
    std::size_t Rows() const { return times_.size(); }

    // Seconds since the midnight before the first row, never decreasing; rows past midnight
    // keep counting (1:00 the next day is 90000).
    std::span<const double> Times() const { return times_; }
    double Time(std::size_t row) const { return times_[row]; }

    // Column c (1..70) as stored: single precision, enough for every logged quantity.
    // Column 0 is TIME: use Times().
    std::span<const float> Column(int c) const { return columns_[c]; }
    double Value(std::size_t row, int c) const { return columns_[c][row]; }

    // First row at or after time t (Rows() when none).
    std::size_t RowAtOrAfter(double t) const;

    // Building, for the reader and tests.
    void Reserve(std::size_t rows);
    // values[1..70] are the columns after TIME (values[0] is not used). The time never
    // decreases: a row before the last one (a clock set back) takes the last row's time.
    void Append(double time, const std::array<float, kLogColumnCount>& values);
    // Many rows at once, row after row: values[i * kLogColumnCount + c] is column c of row
    // i. Filled column by column, so each column's memory is written in one run.
    void AppendRows(std::span<const double> times, std::span<const float> values);

  private:
    std::vector<double, ColumnAllocator<double>> times_;
    std::array<std::vector<float, ColumnAllocator<float>>, kLogColumnCount> columns_;
};

}  // namespace veltrano
