#include "log/log_timeline.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrano {
namespace {

TEST(LogTimeline, SecondsOfDayAsTheTimeFieldReadsBack) {
    EXPECT_DOUBLE_EQ(SecondsOfDay({9, 5, 3, 7}), 9 * 3600 + 5 * 60 + 3.007);
    EXPECT_DOUBLE_EQ(SecondsOfDay({23, 59, 59, 999}), 86399.999);
}

TEST(LogTimeline, NextDayCountsOnAndASetBackClockGoesOnFromTheLast) {
    const struct {
        const char* name;
        std::vector<double> ofDay;
        std::vector<double> expected;
    } cases[] = {
        {"ordinary", {10.0, 10.025, 10.05}, {10.0, 10.025, 10.05}},
        {"past midnight", {86399.9, 0.1, 0.2}, {86399.9, 86400.1, 86400.2}},
        {"set back a little", {100.0, 99.5, 99.9, 100.2}, {100.0, 100.0, 100.4, 100.7}},
        {"summer time ends", {10799.0, 7199.5, 7200.0}, {10799.0, 10799.0, 10799.5}},
        {"two midnights", {86000, 100, 86000, 100}, {86000, 86500, 172400, 172900}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogTimeline line;
        for (std::size_t i = 0; i < c.ofDay.size(); ++i)
            EXPECT_DOUBLE_EQ(line.Next(c.ofDay[i]), c.expected[i]) << i;
    }
}

}  // namespace
}  // namespace veltrano
