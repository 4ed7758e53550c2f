// The budgeted wait for received bytes, on a scripted line and a fake clock.
#include "link/line_wait.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace veltrano {
namespace {

// Bytes that show up at given times; the line sleeps on the fake clock.
class ScriptedLine final : public SerialLine {
  public:
    ScriptedLine(double& now, std::vector<std::pair<double, long>> arrivals, bool can_wait)
        : now_(now), arrivals_(std::move(arrivals)), canWait_(can_wait) {}

    bool Open(const std::string&) override { return true; }
    bool SetLine(int) override { return true; }
    void Purge() override {}
    long Write(const std::uint8_t*, std::size_t n) override { return static_cast<long>(n); }
    long Waiting() override {
        ++looks;
        long n = 0;
        for (const auto& [at, count] : arrivals_)
            n += at <= now_ ? count : 0;
        return n;
    }
    long Read(std::uint8_t*, std::size_t) override { return 0; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool WaitInput(long seen, int timeout_ms) override {
        if (!canWait_)
            return false;
        if (Count() != seen)
            return true;
        ++sleeps;
        double next = now_ + timeout_ms;
        for (const auto& [at, count] : arrivals_) {
            if (at > now_ && at < next)
                next = at;
        }
        now_ = next;
        return true;
    }

    int looks = 0;
    int sleeps = 0;  // WaitInput calls that slept

  private:
    long Count() const {
        long n = 0;
        for (const auto& [at, count] : arrivals_)
            n += at <= now_ ? count : 0;
        return n;
    }

    double& now_;
    std::vector<std::pair<double, long>> arrivals_;
    bool canWait_;
};

// A clock that only moves when the wait sleeps or rests.
WaitClock FakeClock(double& now) {
    return {[&now] { return now; }, [&now](int ms) { now += ms; },
            [&now](double ms) { now += ms; }};
}

struct Case {
    const char* name;
    std::vector<std::pair<double, long>> arrivals;  // (ms, bytes)
    long expected;
    bool canWait;
    bool onBytes;
    double usedMs;
    long waiting;
};

TEST(LineWait, ExactCountWithinTheReceiveBudget) {
    const Case cases[] = {
        {"ends as the last byte arrives", {{40.3, 5}}, 5, true, true, 40.3, 5},
        {"answer in two pieces", {{10, 3}, {25.5, 2}}, 5, true, true, 25.5, 5},
        {"nothing arrives", {}, 5, true, true, 301, 0},
        {"more than expected runs the budget", {{10, 7}}, 5, true, true, 301, 7},
        {"too few runs the budget", {{10, 4}}, 5, true, true, 301, 4},
        {"expected zero on an empty queue ends at once", {}, 0, true, true, 0, 0},
        {"a line that cannot wait is polled per ms", {{40.3, 5}}, 5, false, true, 41, 5},
        {"the polling wait when asked for", {{40.3, 5}}, 5, true, false, 41, 5},
        {"polling: nothing arrives", {}, 5, false, true, 301, 0},
        {"polling: expected zero takes one poll", {}, 0, false, true, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double now = 0;
        ScriptedLine line(now, c.arrivals, c.canWait);
        WaitClock clock = FakeClock(now);
        const LineWait w =
            WaitOnLine(line, {301, 0, c.onBytes}, clock, [&](long n) { return n == c.expected; });
        EXPECT_DOUBLE_EQ(w.usedMs, c.usedMs);
        EXPECT_EQ(w.waiting, c.waiting);
        if (c.canWait && c.onBytes) {
            EXPECT_LE(line.looks, 3);  // woken by the bytes, not by a clock
        }
    }
}

// A waiting reader looks at its own exit conditions at least once per slice.
TEST(LineWait, SlicesLetTheCallerEndTheWait) {
    double now = 0;
    ScriptedLine line(now, {}, true);
    WaitClock clock = FakeClock(now);
    const LineWait w =
        WaitOnLine(line, {1001, 5, true}, clock, [&](long n) { return n > 0 || now >= 12; });
    EXPECT_DOUBLE_EQ(w.usedMs, 15);
    const LineWait full = WaitOnLine(line, {1001, 5, true}, clock, [](long n) { return n > 0; });
    EXPECT_DOUBLE_EQ(full.usedMs, 1001);
}

// Bytes one after the other at `gap_ms` each, the first at `from_ms`.
std::vector<std::pair<double, long>> Stream(double from_ms, int bytes, double gap_ms) {
    std::vector<std::pair<double, long>> out;
    for (int i = 0; i < bytes; ++i)
        out.emplace_back(from_ms + (i + 1) * gap_ms, 1);
    return out;
}

// A live data exchange at 10400 baud: the 6-byte echo, the ECU's pause, the 43-byte answer,
// each byte on the wire for 10 bits. The wait for 49 bytes wakes a few times, not per byte,
// and still ends as the last byte arrives.
TEST(LineWait, WaitForManyBytesWakesABoundedNumberOfTimes) {
    struct Flow {
        const char* name;
        double pace;  // the sender's time per byte against the wire time
        long echo;    // the echo's length as the wait is told it
        int maxWakes;
    };
    const Flow flows[] = {
        {"bytes at wire pace", 1.0, 0, 4},
        {"a sender slower than the wire", 1.5, 0, 10},
        {"echo known: rest for it, wait for the answer, rest for that", 1.0, 6, 3},
        {"echo known, slower sender", 1.5, 6, 10},
    };
    const int baud = 10400;
    for (const auto& f : flows) {
        SCOPED_TRACE(f.name);
        const double byte_ms = WireMs(1, baud) * f.pace;
        auto arrivals = Stream(0, 6, byte_ms);
        const double answer_from = 6 * byte_ms + 25;
        for (const auto& a : Stream(answer_from, 43, byte_ms))
            arrivals.push_back(a);
        const double last = arrivals.back().first;

        double now = 0;
        int rests = 0;
        ScriptedLine line(now, arrivals, true);
        WaitClock clock{[&] { return now; }, [&](int ms) { now += ms; },
                        [&](double ms) { now += ms, ++rests; }};
        const LineWait w = WaitOnLine(line, {301, 0, true, 49, baud, f.echo, f.echo > 0}, clock,
                                      [](long n) { return n == 49; });
        EXPECT_EQ(w.waiting, 49);
        EXPECT_GE(w.usedMs, last);
        EXPECT_LE(w.usedMs, last + WireMs(1, baud));
        EXPECT_LE(rests + line.sleeps, f.maxWakes);

        // Without the speed it wakes on each byte.
        now = 0;
        ScriptedLine per_byte(now, arrivals, true);
        WaitOnLine(per_byte, {301, 0, true, 49, 0}, clock, [](long n) { return n == 49; });
        EXPECT_GE(per_byte.sleeps, 45);
    }
}

// A line that hands on each piece at once (a pseudo-terminal without pacing) is not rested
// for: the wait ends with the last piece.
TEST(LineWait, BurstsEndTheWaitWithoutARest) {
    double now = 0;
    int rests = 0;
    ScriptedLine line(now, {{0.1, 6}, {2.1, 43}}, true);
    WaitClock clock = FakeClock(now);
    clock.restMs = [&](double ms) { now += ms, ++rests; };
    const LineWait w =
        WaitOnLine(line, {301, 0, true, 49, 10400}, clock, [](long n) { return n == 49; });
    EXPECT_EQ(w.waiting, 49);
    EXPECT_DOUBLE_EQ(w.usedMs, 2.1);
    EXPECT_EQ(rests, 0);
}

// Too few bytes keep the whole budget however the rests fall, and so do more than wanted.
TEST(LineWait, RestsKeepTheBudget) {
    const double byte_ms = WireMs(1, 10400);
    auto too_many = Stream(3, 40, byte_ms);
    too_many.emplace_back(3 + 41 * byte_ms, 20);  // a block past the count
    const struct {
        const char* name;
        std::vector<std::pair<double, long>> arrivals;
        long waiting;
    } cases[] = {
        {"too few", Stream(3, 30, byte_ms), 30}, {"too many", too_many, 60}, {"none", {}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double now = 0;
        ScriptedLine line(now, c.arrivals, true);
        const LineWait w = WaitOnLine(line, {301, 0, true, 49, 10400}, FakeClock(now),
                                      [](long n) { return n == 49; });
        EXPECT_GE(w.usedMs, 301);
        EXPECT_LT(w.usedMs, 302);  // the last sleep is asked for in whole ms
        EXPECT_EQ(w.waiting, c.waiting);
    }
}

// Told the echo's length, the wait still ends as the last byte arrives when the line echoes
// nothing, hands on bursts, or the answer comes without a pause; and short answers keep the
// whole budget.
TEST(LineWait, KnownEchoNeverEndsTheWaitLateOrEarly) {
    const double byte_ms = WireMs(1, 10400);
    auto no_pause = Stream(0, 49, byte_ms);
    const struct {
        const char* name;
        std::vector<std::pair<double, long>> arrivals;
        double usedMs;
        long waiting;
        bool paced;  // the line is known to carry bytes at wire pace
        int maxWakes;
        bool burst;  // the wait reports a burst
    } cases[] = {
        {"no echo: the answer alone runs the budget", Stream(25, 43, byte_ms), 301, 43, true, 8,
         false},
        {"echo and answer back to back", no_pause, 49 * byte_ms, 49, true, 3, false},
        {"bursts on a line taken for paced", {{0.1, 6}, {20.1, 43}}, 20.1, 49, true, 3, true},
        {"bursts are not rested for", {{0.1, 6}, {2.1, 43}}, 2.1, 49, false, 2, true},
        {"echo only", Stream(0, 6, byte_ms), 301, 6, true, 4, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double now = 0;
        int rests = 0;
        ScriptedLine line(now, c.arrivals, true);
        WaitClock clock = FakeClock(now);
        clock.restMs = [&](double ms) { now += ms, ++rests; };
        const LineWait w = WaitOnLine(line, {301, 0, true, 49, 10400, 6, c.paced}, clock,
                                      [](long n) { return n == 49; });
        EXPECT_EQ(w.waiting, c.waiting);
        EXPECT_EQ(w.burst, c.burst);
        EXPECT_GE(w.usedMs, c.usedMs - 1e-9);
        EXPECT_LE(w.usedMs, c.waiting == 49 ? c.usedMs + byte_ms : 302);
        EXPECT_LE(rests + line.sleeps, c.maxWakes);
    }
}

// Told when the answer starts, the wait rests once through the echo, the ECU's pause and the
// answer; a prediction too early costs a look more, never a late end, and one too late ends
// the wait that much late. Each wait reports when the answer's first byte came.
TEST(LineWait, AKnownAnswerStartRestsThroughTheWholeExchange) {
    const struct {
        const char* name;
        long answer;   // bytes after the echo
        double offMs;  // the prediction against the true start
        int maxWakes;
        double lateMs;  // how late the wait may end
        bool bound;     // the answer was found whole
    } cases[] = {
        {"exact", 43, 0, 1, 0, true},
        {"early: rests for the rest of the answer", 43, -5, 2, 1, false},
        {"before the answer: waits for it, then rests", 4, -15, 3, 1, false},
        {"late by 2 ms", 43, 2, 1, 2, true},
    };
    const int baud = 10400;
    const double byte_ms = WireMs(1, baud);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto arrivals = Stream(0, 6, byte_ms);
        for (const auto& a : Stream(6 * byte_ms + 25, static_cast<int>(c.answer), byte_ms))
            arrivals.push_back(a);
        const double first = 7 * byte_ms + 25;
        const double last = arrivals.back().first;
        const long want = 6 + c.answer;

        double now = 0;
        int rests = 0;
        ScriptedLine line(now, arrivals, true);
        WaitClock clock = FakeClock(now);
        clock.restMs = [&](double ms) { now += ms, ++rests; };
        LineWaitRule rule{301, 0, true, want, baud, 6, true};
        rule.answerAfterMs = first + c.offMs;
        const LineWait w = WaitOnLine(line, rule, clock, [&](long n) { return n == want; });
        EXPECT_EQ(w.waiting, want);
        EXPECT_GE(w.usedMs, last - 1e-9);
        EXPECT_LE(w.usedMs, last + c.lateMs + 1e-9);
        EXPECT_LE(rests + line.sleeps, c.maxWakes);
        EXPECT_EQ(w.answerBound, c.bound);
        if (c.bound)
            EXPECT_NEAR(w.answerMs, first + c.offMs, 1e-9);
        else
            EXPECT_NEAR(w.answerMs, first, byte_ms);
    }
}

// A prediction does not shorten the budget when the answer never comes or comes short.
TEST(LineWait, APredictedAnswerKeepsTheBudget) {
    const double byte_ms = WireMs(1, 10400);
    auto short_answer = Stream(0, 6, byte_ms);
    for (const auto& a : Stream(6 * byte_ms + 25, 10, byte_ms))
        short_answer.push_back(a);
    const struct {
        const char* name;
        std::vector<std::pair<double, long>> arrivals;
        long waiting;
    } cases[] = {{"echo only", Stream(0, 6, byte_ms), 6}, {"short answer", short_answer, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double now = 0;
        ScriptedLine line(now, c.arrivals, true);
        LineWaitRule rule{301, 0, true, 49, 10400, 6, true};
        rule.answerAfterMs = 7 * byte_ms + 25;
        const LineWait w = WaitOnLine(line, rule, FakeClock(now), [](long n) { return n == 49; });
        EXPECT_EQ(w.waiting, c.waiting);
        EXPECT_GE(w.usedMs, 301);
        EXPECT_LT(w.usedMs, 302);
    }
}

}  // namespace
}  // namespace veltrano
