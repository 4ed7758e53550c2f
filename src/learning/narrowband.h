// AFR from the voltage of the narrowband oxygen sensor.
#pragma once

namespace veltrano {

// y0 + (x - x0) / (x1 - x0) * (y1 - y0), in extended precision.
double LinearInterpolate(double x0, double x, double x1, double y0, double y1);

// Piecewise linear curve 0.2 V -> 15.2 ... 0.8 V -> 13.0, constant beyond its ends.
double NarrowbandAfr(double volts);

// The voltage lies at or beyond an end of that curve: the AFR is only a bound.
bool NarrowbandPinned(double volts);

}  // namespace veltrano
