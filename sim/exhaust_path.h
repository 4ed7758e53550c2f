// The way from the cylinder to the wideband probe: the gas burned now reaches the probe one
// transport delay later (a table over rpm and load), and the probe follows it with a
// first-order lag.
#pragma once

#include <array>
#include <deque>

namespace veltrano {

// Transport delay in milliseconds over rpm (columns) and manifold pressure (rows),
// interpolated bilinearly and held constant beyond the end points.
struct TransportDelayTable {
    std::array<double, 3> rpm{500.0, 4000.0, 7500.0};
    std::array<double, 2> kpa{30.0, 100.0};  // light and high load
    std::array<std::array<double, 3>, 2> ms{{{350.0, 300.0, 200.0}, {250.0, 150.0, 100.0}}};

    double DelayMs(double rpmNow, double kpaNow) const;
};

class ExhaustPath {
  public:
    explicit ExhaustPath(double lagSeconds) : lag_(lagSeconds) {}

    // The gas burned at time `t` has this mixture; `transient` marks gas burned during fuel
    // cut or enrichment. Returns what the probe reads at `t` with the given delay.
    double Step(double t, double burnedAfr, bool transient, double delaySeconds);
    // The probe reads gas of which a noticeable share was burned during a transient.
    bool SensesTransient() const { return sensesTransient_; }

  private:
    struct Puff {
        double t;
        double afr;
        bool transient;
    };
    std::deque<Puff> history_;
    double lag_;
    double sensed_ = 0.0;
    double lastT_ = 0.0;
    bool started_ = false;
    bool sensesTransient_ = false;
};

}  // namespace veltrano
