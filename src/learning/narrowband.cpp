#include "learning/narrowband.h"

#include <array>
#include <cstddef>

namespace veltrano {
namespace {

struct CurvePoint {
    double volts;
    double afr;
};

constexpr std::array<CurvePoint, 6> kCurve{{
    {0.2, 15.2},
    {0.4, 15.0},
    {0.45, 14.7},
    {0.6, 14.4},
    {0.7, 14.0},
    {0.8, 13.0},
}};

}  // namespace

double LinearInterpolate(double x0, double x, double x1, double y0, double y1) {
    const long double t = (static_cast<long double>(x) - x0) / (static_cast<long double>(x1) - x0);
    return static_cast<double>(y0 + t * (static_cast<long double>(y1) - y0));
}

double NarrowbandAfr(double volts) {
    if (volts <= kCurve.front().volts)
        return kCurve.front().afr;
    if (volts >= kCurve.back().volts)
        return kCurve.back().afr;
    for (std::size_t i = 1; i < kCurve.size(); ++i) {
        if (volts <= kCurve[i].volts) {
            const CurvePoint& a = kCurve[i - 1];
            const CurvePoint& b = kCurve[i];
            return LinearInterpolate(a.volts, volts, b.volts, a.afr, b.afr);
        }
    }
    return kCurve.back().afr;
}

bool NarrowbandPinned(double volts) {
    return volts <= kCurve.front().volts || volts >= kCurve.back().volts;
}

}  // namespace veltrano
