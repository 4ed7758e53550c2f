#include "learning/axis_search.h"

#include <algorithm>

namespace veltrano {
namespace {

long double Point(std::span<const std::int32_t> axis, std::size_t i) {
    return i < axis.size() ? static_cast<long double>(axis[i]) : 0.0L;
}

}  // namespace

AxisRule DadAxisRule(std::span<const std::int32_t> axis) {
    return {15, Point(axis, 15), 16};
}
AxisRule DadAxis32Rule(std::span<const std::int32_t> axis) {
    return {31, Point(axis, 31), 32};
}
AxisRule ThrottleAxisRule() {
    return {15, 98.0L, 16};
}
AxisRule RpmAxisRule(std::span<const std::int32_t> axis) {
    return {15, Point(axis, 15), 16};
}
// The pass over the last interval is missing, so the 31st point is never produced.
AxisRule RpmAxis32Rule(std::span<const std::int32_t> axis) {
    return {30, Point(axis, 30), 32};
}

int AxisSearch(long double x, std::span<const std::int32_t> axis, const AxisRule& rule,
               int previous) {
    if (axis.empty())
        return previous;
    int index = previous;
    const int passes = std::min<int>(rule.passes, static_cast<int>(axis.size()) - 1);
    for (int i = 1; i <= passes; ++i) {
        if (Point(axis, i - 1) <= x && x < Point(axis, i))
            index = i;
    }
    if (x >= rule.topBound)
        index = rule.topIndex;
    if (x <= Point(axis, 0))
        index = 1;
    return index;
}

double AxisFraction(long double x, std::span<const std::int32_t> axis, int index) {
    if (index < 1 || index >= static_cast<int>(axis.size()))
        return 0.0;
    const std::int32_t span = axis[index] - axis[index - 1];
    if (span == 0)
        return 0.0;
    return static_cast<double>((x - axis[index - 1]) / span);
}

}  // namespace veltrano
