// A column reduced to what a plot can show: per pixel column of a time range, the first,
// last, smallest and largest value of the rows whose time falls into it. Drawing a vertical
// line from min to max per pixel and joining last to next first looks exactly like drawing
// every row, at a cost that depends on the width only.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "analysis/log_table.h"

namespace veltrano {

struct PixelSpan {
    std::uint32_t rows = 0;  // 0: no row falls into this pixel; the values are not set
    float first = 0;
    float last = 0;
    float min = 0;
    float max = 0;
};

// Pixel i covers times [t0 + i * w, t0 + (i + 1) * w) with w = (t1 - t0) / pixels; the last
// pixel also takes t1. `keep`, when not empty, has one entry per row: rows with 0 are left
// out (the map's filters).
std::vector<PixelSpan> DecimateColumn(const LogTable& table, int column, double t0, double t1,
                                      int pixels, std::span<const std::uint8_t> keep = {});

}  // namespace veltrano
