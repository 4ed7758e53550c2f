// The simulated engine's operating point and how it moves.
#pragma once

#include <vector>

namespace veltrano {

struct OperatingPoint {
    double rpm = 850.0;
    double throttle = 0.0;   // percent
    double pressure = 30.0;  // manifold absolute pressure, kPa
    double carSpeed = 0.0;   // km/h
};

// One step of a scripted drive: the point is reached `seconds` after the script start,
// moving linearly from the previous step. The script repeats from its start.
struct ScriptStep {
    double seconds = 0.0;
    OperatingPoint point;
};

}  // namespace veltrano
