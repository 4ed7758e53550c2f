#include "learning/exhaust_delay.h"

#include <utility>

namespace veltrano {
namespace {

template <std::size_t N>
std::pair<std::size_t, double> Between(const std::array<double, N>& axis, double x) {
    if (!(x > axis.front()))
        return {0, 0.0};
    for (std::size_t i = 1; i < N; ++i) {
        if (x <= axis[i])
            return {i - 1, (x - axis[i - 1]) / (axis[i] - axis[i - 1])};
    }
    return {N - 2, 1.0};
}

}  // namespace

double ExhaustDelayTable::DelayMs(double rpmNow, double kpaNow) const {
    const auto [c, fc] = Between(rpm, rpmNow);
    const auto [r, fr] = Between(kpa, kpaNow);
    auto along = [&](std::size_t row) { return ms[row][c] + (ms[row][c + 1] - ms[row][c]) * fc; };
    return along(r) + (along(r + 1) - along(r)) * fr;
}

}  // namespace veltrano
