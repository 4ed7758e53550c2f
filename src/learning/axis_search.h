// Locating a value on a calibration axis and the position between two axis points.
#pragma once

#include <cstdint>
#include <span>

namespace veltrano {

// How one axis ends: the search loop runs over 1..passes, and a value at or above
// topBound gives topIndex.
struct AxisRule {
    int passes = 15;
    long double topBound = 0;
    int topIndex = 16;
};

// Rules of the five axes the operating point uses.
AxisRule DadAxisRule(std::span<const std::int32_t> axis);
AxisRule DadAxis32Rule(std::span<const std::int32_t> axis);
AxisRule ThrottleAxisRule();
AxisRule RpmAxisRule(std::span<const std::int32_t> axis);
AxisRule RpmAxis32Rule(std::span<const std::int32_t> axis);

// 1-based index of x on the axis: 1 at or below the first point, the top index by the
// axis' top rule, else the interval holding x. When no rule holds, `previous` is kept.
int AxisSearch(long double x, std::span<const std::int32_t> axis, const AxisRule& rule,
               int previous);

// (x - A[index-1]) / (A[index] - A[index-1]); 0 when index is outside 1..n-1 or the two
// points coincide.
double AxisFraction(long double x, std::span<const std::int32_t> axis, int index);

}  // namespace veltrano
