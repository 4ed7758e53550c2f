#include "sim/realistic_engine.h"

#include <algorithm>
#include <cmath>

#include "sim/ecu_simulator.h"
#include "sim/engine_model.h"

namespace veltrano {
namespace {

struct Bump {
    double column;  // 0..15
    double row;
    double percent;
    double width;  // cells
};

// rpm, throttle: the engine sits between the points of each leg.
struct Leg {
    double seconds;  // time to reach the point
    double rpm;
    double throttle;
};

}  // namespace

std::array<double, 256> RealisticVeSurface() {
    constexpr Bump kBumps[] = {{4.5, 6.0, 22.0, 2.4},  {9.0, 9.5, -18.0, 2.2},
                               {12.5, 4.0, 12.0, 3.0}, {3.0, 12.0, -10.0, 2.5},
                               {7.0, 2.5, -8.0, 2.0},  {13.0, 12.5, 9.0, 2.6}};
    std::array<double, 256> cells{};
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            double e = 3.0 * (c - 7.5) / 7.5;  // a gentle slope across the speed range
            for (const Bump& b : kBumps) {
                const double d2 = (c - b.column) * (c - b.column) + (r - b.row) * (r - b.row);
                e += b.percent * std::exp(-d2 / (2.0 * b.width * b.width));
            }
            cells[r * 16 + c] = std::clamp(e, -25.0, 25.0);
        }
    }
    return cells;
}

std::vector<ScriptStep> RealisticDriveScript() {
    // Cruise legs sweep slowly (well under the enrichment threshold) so that every corner of
    // the cells they cross is seen; accelerations open the throttle fast enough to enrich;
    // overruns close it above 1500 rpm, which cuts the fuel.
    constexpr Leg kLegs[] = {
        {0.0, 850, 0},    {6.0, 850, 0},                       // idle
        {6.6, 2000, 18},  {12.0, 2400, 22}, {18.0, 2000, 17},  // cruise A
        {18.5, 3000, 34}, {25.0, 3500, 40}, {31.0, 3000, 33},  // cruise B
        {31.4, 3000, 0},  {34.5, 1600, 0},                     // overrun
        {34.9, 1600, 12}, {41.0, 1950, 15}, {47.0, 1600, 11},  // cruise C
        {47.8, 4200, 52}, {54.0, 4700, 60}, {60.0, 4200, 50},  // cruise D
        {60.4, 4200, 0},  {64.5, 1300, 0},  {65.5, 850, 0},    // overrun to idle
        {70.0, 850, 0},                                        // idle
        {70.8, 2600, 26}, {77.0, 2850, 44}, {83.0, 2600, 26},  // cruise E: load sweep
        {89.0, 3300, 30}, {95.0, 2600, 24},                    // cruise E: speed sweep
        {95.4, 2600, 0},  {99.0, 1200, 0},  {100.0, 850, 0},   // overrun to idle
        {104.0, 850, 0},
    };
    std::vector<ScriptStep> script;
    for (const Leg& leg : kLegs) {
        OperatingPoint p;
        p.rpm = leg.rpm;
        p.throttle = leg.throttle;
        p.pressure = PressureForThrottle(leg.throttle) - leg.rpm / 1000.0;
        p.carSpeed = std::max(0.0, (leg.rpm - 900.0) / 40.0);
        script.push_back({leg.seconds, p});
    }
    return script;
}

void UseRealisticEngine(EcuSimOptions& options) {
    options.realistic = RealisticSettings{};
    if (!options.trueVeSurface)
        options.trueVeSurface = RealisticVeSurface();
    if (options.script.empty())
        options.script = RealisticDriveScript();
}

}  // namespace veltrano
