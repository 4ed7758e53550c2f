// The realistic engine: what a wideband on a real exhaust sees (transport delay, probe lag,
// noise), a fuel demand that is smooth but not flat, enrichment and fuel cut that change the
// mixture burned, and a drive that goes through idle, accelerations, cruise and overrun.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "sim/engine_point.h"
#include "sim/exhaust_path.h"

namespace veltrano {

struct RealisticSettings {
    TransportDelayTable delays;
    double probeLagSeconds = 0.08;
    double noiseAfr = 0.08;           // standard deviation of the probe's reading
    double enrichmentShare = 0.4;     // extra fuel at full acceleration enrichment
    double enrichmentSeconds = 0.35;  // decay of the enrichment after the throttle stops
};

// Per-cell true VE error in percent (row-major, rows are load): a few smooth bumps and
// hollows up to about ±25 %.
std::array<double, 256> RealisticVeSurface();

// One lap of the drive (about two minutes); the engine repeats it.
std::vector<ScriptStep> RealisticDriveScript();

}  // namespace veltrano
