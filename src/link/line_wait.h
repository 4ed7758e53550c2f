// Waiting for received bytes with a budget of time. A line that can wait on its input is
// slept on until bytes arrive; one that cannot is polled once per millisecond, and then each
// poll counts as one millisecond of the budget, so the call order it sees does not depend on
// how fast the machine is.
#pragma once

#include <functional>

#include "link/serial_line.h"

namespace veltrano {

// The clock a wait measures its budget with; tests drive a fake one.
struct WaitClock {
    std::function<double()> nowMs;     // monotonic milliseconds
    std::function<void(int)> sleepMs;  // the pace of polls on a line that cannot wait
};

// The steady clock and real sleeping.
WaitClock SteadyWaitClock();

struct LineWait {
    long waiting = 0;   // bytes waiting at the end (0 when the port failed)
    double usedMs = 0;  // budget used
};

struct LineWaitRule {
    int budgetMs = 0;     // the wait ends once this much is used
    int sliceMs = 0;      // longest single sleep (0: the whole budget); `done` is asked after each
    bool onBytes = true;  // false: poll every 1 ms even when the line could wait
};

// Waits until done(waiting) or the budget is used up. The first look at the line is made at
// once on a line that can wait, after 1 ms on one that cannot.
LineWait WaitOnLine(SerialLine& line, const LineWaitRule& rule, const WaitClock& clock,
                    const std::function<bool(long)>& done);

}  // namespace veltrano
