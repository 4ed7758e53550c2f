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
    std::function<double()> nowMs;       // monotonic milliseconds
    std::function<void(int)> sleepMs;    // the pace of polls on a line that cannot wait
    std::function<void(double)> restMs;  // the rest while bytes are still on the wire
};

// The steady clock and real sleeping.
WaitClock SteadyWaitClock();

struct LineWait {
    long waiting = 0;     // bytes waiting at the end (0 when the port failed)
    double usedMs = 0;    // budget used
    bool flowed = false;  // bytes were seen arriving at wire pace
    bool burst = false;   // bytes were seen arriving faster than the wire carries them
    // When the answer's first byte (the first past the echo) arrived, from the wait's start;
    // < 0 when not seen. Only an upper bound when `answerBound`: the answer was found whole.
    double answerMs = -1;
    bool answerBound = false;
};

struct LineWaitRule {
    int budgetMs = 0;     // the wait ends once this much is used
    int sliceMs = 0;      // longest single sleep (0: the whole budget); `done` is asked after each
    bool onBytes = true;  // false: poll every 1 ms even when the line could wait
    long wantBytes = 0;   // the count the wait is for (0: not known)
    int baud = 0;         // the line's speed (0: not known)
    long echoBytes = 0;   // of wantBytes, the request coming back first (0: none or not known)
    // The line is known to carry bytes at wire pace: rest for the echo before looking for it.
    bool restForEcho = false;
    // With `restForEcho`: the answer's first byte is expected this long after the wait's start
    // (0: not known). The first rest then reaches through the other side's pause to the
    // answer's expected end.
    double answerAfterMs = 0;
};

// Time the bytes take on the wire: ten bits each (start, eight data, stop).
double WireMs(long bytes, int baud);

// Waits until done(waiting) or the budget is used up. The first look at the line is made at
// once on a line that can wait, after 1 ms on one that cannot. On a line that can wait, with
// the count and speed known, bytes arriving at wire pace are not waited on one by one: the
// wait rests for the wire time of the missing bytes (they cannot all arrive sooner), and
// sleeps until the next byte when none came during the rest or they came in a burst. With the
// echo's length known, a rest never reaches past the echo while it comes back, and a complete
// echo is followed by a wait on the line for the answer: the pause before an answer is the
// other side's, not the wire's. On a line known to be paced, the first rest is for the echo,
// before any byte of it is seen (just written, it is on the wire already), or with the
// answer's start known, for the echo, the pause and the answer together.
LineWait WaitOnLine(SerialLine& line, const LineWaitRule& rule, const WaitClock& clock,
                    const std::function<bool(long)>& done);

}  // namespace veltrano
