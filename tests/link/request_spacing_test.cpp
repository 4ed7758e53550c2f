// The rest before a request: counted from the end of the last receive, with the run loop's
// owed rest inside it.
#include "link/request_spacing.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace veltrano {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

TEST(RequestSpacing, ThePauseCountsFromTheEndOfTheLastReceive) {
    const struct {
        const char* name;
        bool fromQuiet;
        int quietMs;  // time passed since the receive before the request is made
        int owedMs;
        int pauseMs;
        double atLeastMs;  // since the receive, when the request may go
        double atMostMs;   // loose: a loaded machine wakes late
    } cases[] = {
        {"a fresh pause is rested whole", true, 0, 0, 40, 40, 400},
        {"time since the receive counts", true, 60, 0, 40, 60, 95},
        {"the loop's owed rest is inside the pause", true, 0, 1, 40, 40, 400},
        {"a longer owed rest wins", true, 0, 40, 5, 40, 400},
        {"the old timing sleeps the whole pause", false, 60, 0, 40, 100, 500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RequestSpacing spacing({}, c.fromQuiet);
        const auto quiet = Clock::now();
        spacing.Quiet();
        std::this_thread::sleep_for(std::chrono::milliseconds(c.quietMs));
        if (c.owedMs > 0)
            spacing.Owe(c.owedMs);
        spacing.BeforeRequest(c.pauseMs);
        const double at = MsSince(quiet);
        EXPECT_GE(at, c.atLeastMs);
        EXPECT_LE(at, c.atMostMs);
    }
}

// With a fake sleep every rest is asked for whole; the owed rest joins the next pause once,
// and a loop pass without a request pays it.
TEST(RequestSpacing, FakeSleepSeesOneRestPerRequest) {
    std::vector<int> slept;
    RequestSpacing spacing([&](int ms) { slept.push_back(ms); });
    spacing.Owe(1);
    spacing.BeforeRequest(10);
    spacing.BeforeRequest(10);
    spacing.Owe(1);
    spacing.PayOwed();
    spacing.PayOwed();
    EXPECT_EQ(slept, (std::vector<int>{10, 10, 1, 0}));
}

}  // namespace
}  // namespace veltrano
