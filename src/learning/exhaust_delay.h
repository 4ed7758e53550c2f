// The learning side's estimate of the exhaust transport delay: milliseconds over rpm and
// manifold pressure, editable by the user, interpolated bilinearly and held beyond the ends.
#pragma once

#include <array>

namespace veltrano {

struct ExhaustDelayTable {
    static constexpr int kColumns = 3;
    static constexpr int kRows = 2;
    std::array<double, kColumns> rpm{500.0, 4000.0, 7500.0};
    std::array<double, kRows> kpa{30.0, 100.0};  // light and high load
    std::array<std::array<double, kColumns>, kRows> ms{
        {{350.0, 300.0, 200.0}, {250.0, 150.0, 100.0}}};

    double DelayMs(double rpmNow, double kpaNow) const;
    bool operator==(const ExhaustDelayTable&) const = default;
};

}  // namespace veltrano
