// The whole tool's CPU while connected: veltrano-cli's session (link, wideband reader,
// learning and log threads) against veltrano-sim at the fastest line speed and the shortest
// request pause, measured over the connected part of the run from the scheduler's per-thread
// run times of the child.
#pragma once

namespace veltrano {

// Runs the session for `seconds` with the binaries beside this program; prints the CPU
// time as a percentage of one core. False when the run did not happen.
bool PrintWholeToolCpu(double seconds);

}  // namespace veltrano
