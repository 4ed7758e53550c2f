// The convergence run over the simulated car: a real link on a pseudo-terminal, the wideband
// reader on a second one, the learning driver thread, wire timing off.
#pragma once

#include <cstdint>
#include <vector>

#include "learning/learning_options.h"

namespace veltrano {

struct SteadyPoint {
    double rpm;
    double throttle;
    double pressure;
};

// What the ECU reports now: where the engine runs and the mixture it burns.
struct CarObservation {
    double rpm = 0;
    double targetAfr = 0;
    double measuredAfr = 0;
};

struct SimOutcome {
    bool connected = false;
    double start = 0;  // mean error over the points at their first visits
    long below5 = -1;  // records processed when the error first fell below 5 %; -1: never
    long below2 = -1;
    double seconds5 = 0;
    double seconds2 = 0;
    double end = 0;
    long records = 0;
    long updates = 0;
};

// The image's PCN gives `tableError` (0.1: 10 %) more fuel than the engine needs.
SimOutcome ConvergeOnSimulator(const std::vector<std::uint8_t>& image, LambdaSource source,
                               double tableError, const std::vector<SteadyPoint>& points,
                               double dwellSeconds, double limitSeconds);

}  // namespace veltrano
