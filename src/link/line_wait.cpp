#include "link/line_wait.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace veltrano {
namespace {

// How far a rest may reach: the end of the echo while it is coming back, else the whole count.
long RestTarget(const LineWaitRule& rule, long seen) {
    return seen < rule.echoBytes ? rule.echoBytes : rule.wantBytes;
}

// The rest before looking again while bytes flow, 0 when the next look should wait on the
// line instead: nothing is known to be on the wire, or the echo is in and the answer is not.
double RestMs(const LineWaitRule& rule, long seen, double limit_ms) {
    const long target = RestTarget(rule, seen);
    if (target <= seen || rule.baud <= 0 || seen == rule.echoBytes)
        return 0;
    return std::min(WireMs(target - seen, rule.baud), limit_ms);
}

// The first rest on a paced line: for the echo, or, with the answer's start known, through
// the other side's pause to the answer's expected end.
double FirstRestMs(const LineWaitRule& rule, long seen, double elapsed_ms, double limit_ms) {
    const double echo = RestMs(rule, seen, limit_ms);
    if (rule.answerAfterMs <= 0 || rule.wantBytes <= rule.echoBytes)
        return echo;
    const double end = rule.answerAfterMs + WireMs(rule.wantBytes - rule.echoBytes - 1, rule.baud);
    return std::min(std::max(echo, end - elapsed_ms), limit_ms);
}

// Notes when the answer's first byte arrived, once some of it is in: bytes flowing at wire
// pace until now put it that many bytes back.
void NoteAnswer(const LineWaitRule& rule, long seen, double since_ms, LineWait& w) {
    if (w.answerMs >= 0 || seen <= rule.echoBytes || rule.baud <= 0)
        return;
    w.answerMs = since_ms - WireMs(seen - rule.echoBytes - 1, rule.baud);
    w.answerBound = seen >= rule.wantBytes;
}

// The bytes came no faster than the wire carries them. A line that hands on bytes in bursts
// (a pseudo-terminal without pacing, a block held by the adapter) is better waited on per
// burst: a rest for wire time there would only be late.
bool AtWirePace(long new_bytes, double elapsed_ms, int baud) {
    return baud > 0 && new_bytes <= elapsed_ms / WireMs(1, baud) + 1;
}

}  // namespace

WaitClock SteadyWaitClock() {
    return {[] {
                using namespace std::chrono;
                return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
            },
            [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
            [](double ms) {
                std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
            }};
}

double WireMs(long bytes, int baud) {
    return baud > 0 ? static_cast<double>(bytes) * 10.0 * 1000.0 / baud : 0.0;
}

LineWait WaitOnLine(SerialLine& line, const LineWaitRule& rule, const WaitClock& clock,
                    const std::function<bool(long)>& done) {
    const double start = clock.nowMs();
    const int slice = rule.sliceMs > 0 ? rule.sliceMs : rule.budgetMs;
    long seen = -1;  // differs from any count, so a waiting line looks at once
    long paced = 0;  // polls of 1 ms made instead of waiting
    bool waited = false;
    bool flowing = false;  // the last look found bytes arriving at wire pace: more may be on it
    bool echoRested = false;
    double looked = start;
    LineWait w;
    do {
        const double left_ms = rule.budgetMs - w.usedMs;
        const int left = std::max(1, static_cast<int>(std::ceil(left_ms)));
        const double limit_ms = std::min<double>(slice, left_ms);
        double rest = flowing ? RestMs(rule, seen, limit_ms) : 0;
        if (rule.restForEcho && !echoRested && waited && seen >= 0 && seen < rule.echoBytes) {
            // Once only: a line that echoes nothing is then waited on as usual.
            echoRested = true;
            rest = FirstRestMs(rule, seen, clock.nowMs() - start, limit_ms);
        }
        if (rest > 0) {
            clock.restMs(rest);
        } else if (rule.onBytes && line.WaitInput(seen, std::min(slice, left))) {
            waited = true;
        } else {
            clock.sleepMs(1);
            ++paced;
        }
        const long before = seen;
        const double now = clock.nowMs();
        seen = std::max(0L, line.Waiting());
        const bool came = waited && rule.onBytes && before >= 0 && seen > before;
        flowing = came && AtWirePace(seen - before, now - looked, rule.baud);
        w.flowed = w.flowed || flowing;
        w.burst = w.burst || (came && !flowing);
        looked = now;
        w.waiting = seen;
        if (waited && rule.onBytes)
            NoteAnswer(rule, seen, now - start, w);
        // Real time counts only once the line itself waited: a polled line's budget is its
        // polls, however long the machine took over them.
        const double polled = static_cast<double>(paced);
        w.usedMs = waited ? std::max(now - start, polled) : polled;
    } while (!done(w.waiting) && w.usedMs < rule.budgetMs);
    return w;
}

}  // namespace veltrano
