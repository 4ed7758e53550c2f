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
        double next = now_ + timeout_ms;
        for (const auto& [at, count] : arrivals_) {
            if (at > now_ && at < next)
                next = at;
        }
        now_ = next;
        return true;
    }

    int looks = 0;

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
        WaitClock clock{[&] { return now; }, [&](int ms) { now += ms; }};
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
    WaitClock clock{[&] { return now; }, [&](int ms) { now += ms; }};
    const LineWait w =
        WaitOnLine(line, {1001, 5, true}, clock, [&](long n) { return n > 0 || now >= 12; });
    EXPECT_DOUBLE_EQ(w.usedMs, 15);
    const LineWait full = WaitOnLine(line, {1001, 5, true}, clock, [](long n) { return n > 0; });
    EXPECT_DOUBLE_EQ(full.usedMs, 1001);
}

}  // namespace
}  // namespace veltrano
