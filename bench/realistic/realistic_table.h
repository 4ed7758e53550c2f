// The learning convergence table on the realistic engine, both modes side by side.
#pragma once

namespace veltrano {

// Prints one row per lambda source and mode; `minutes` of simulated driving at most. `seed`
// draws the probe's noise.
void RealisticTable(double minutes, unsigned seed = 1);

}  // namespace veltrano
