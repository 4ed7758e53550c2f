#include "link/line_wait.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace veltrano {

WaitClock SteadyWaitClock() {
    return {[] {
                using namespace std::chrono;
                return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
            },
            [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }};
}

LineWait WaitOnLine(SerialLine& line, const LineWaitRule& rule, const WaitClock& clock,
                    const std::function<bool(long)>& done) {
    const double start = clock.nowMs();
    const int slice = rule.sliceMs > 0 ? rule.sliceMs : rule.budgetMs;
    long seen = -1;  // differs from any count, so a waiting line looks at once
    long paced = 0;  // polls of 1 ms made instead of waiting
    bool waited = false;
    LineWait w;
    do {
        const int left = std::max(1, static_cast<int>(std::ceil(rule.budgetMs - w.usedMs)));
        if (rule.onBytes && line.WaitInput(seen, std::min(slice, left))) {
            waited = true;
        } else {
            clock.sleepMs(1);
            ++paced;
        }
        seen = std::max(0L, line.Waiting());
        w.waiting = seen;
        // Real time counts only once the line itself waited: a polled line's budget is its
        // polls, however long the machine took over them.
        const double polled = static_cast<double>(paced);
        w.usedMs = waited ? std::max(clock.nowMs() - start, polled) : polled;
    } while (!done(w.waiting) && w.usedMs < rule.budgetMs);
    return w;
}

}  // namespace veltrano
