#include "sim/exhaust_path.h"

#include <algorithm>
#include <cmath>

namespace veltrano {
namespace {

// Index and fraction of x between the points of an ascending axis, clamped at the ends.
template <std::size_t N>
std::pair<std::size_t, double> Bracket(const std::array<double, N>& axis, double x) {
    if (x <= axis.front())
        return {0, 0.0};
    for (std::size_t i = 1; i < N; ++i) {
        if (x <= axis[i])
            return {i - 1, (x - axis[i - 1]) / (axis[i] - axis[i - 1])};
    }
    return {N - 2, 1.0};
}

constexpr double kHistorySeconds = 3.0;  // longer than any delay plus the lag's tail
constexpr double kTaintLags = 3.0;       // a lag's residue counts for this many time constants

}  // namespace

double TransportDelayTable::DelayMs(double rpmNow, double kpaNow) const {
    const auto [c, fc] = Bracket(rpm, rpmNow);
    const auto [r, fr] = Bracket(kpa, kpaNow);
    auto along = [&](std::size_t row) { return ms[row][c] + (ms[row][c + 1] - ms[row][c]) * fc; };
    return along(r) + (along(r + 1) - along(r)) * fr;
}

double ExhaustPath::Step(double t, double burnedAfr, bool transient, double delaySeconds) {
    if (!started_) {
        started_ = true;
        sensed_ = burnedAfr;
        lastT_ = t;
    }
    history_.push_back({t, burnedAfr, transient});
    while (history_.size() > 2 && history_[1].t < t - kHistorySeconds)
        history_.pop_front();

    // The probe sees the latest puff burned at or before t - delay.
    const double seen = t - delaySeconds;
    const Puff* arriving = &history_.front();
    sensesTransient_ = false;
    for (const Puff& p : history_) {
        if (p.t > seen)
            break;
        arriving = &p;
        if (p.transient && p.t >= seen - kTaintLags * lag_)
            sensesTransient_ = true;
    }
    sensesTransient_ = sensesTransient_ || arriving->transient;
    const double dt = std::max(0.0, t - lastT_);
    lastT_ = t;
    const double keep = lag_ > 0.0 ? std::exp(-dt / lag_) : 0.0;
    sensed_ = arriving->afr + (sensed_ - arriving->afr) * keep;
    return sensed_;
}

}  // namespace veltrano
