// Which log rows took a new wideband reading: a small drive of the reader against the poll
// cycle writes the coefficient column as the cycle would, and the rows found must be the rows
// that took a reading.
#include <gtest/gtest.h>

#include "analysis/wideband_readings.h"

namespace veltrano {
namespace {

struct Drive {
    std::vector<double> readings;  // coefficients, one per reader period
    double recordSeconds = 0.010;
    double periodSeconds = 0.080;
    std::size_t stallAfter = 0;  // the record after this one comes late; 0: none
    double stallSeconds = 0.060;
    std::size_t records = 0;  // 0: until the last reading is taken
};

// Each record takes the reading that came since the record before, as the cycle does.
std::vector<bool> DriveLog(const Drive& d, LogTable& log) {
    std::vector<bool> took;
    std::array<float, kLogColumnCount> v{};
    v[logcol::TargetAfr] = 14.7f;
    double t = 0, previous = -1;
    std::size_t next = 0;
    for (std::size_t i = 0; d.records ? i < d.records : next < d.readings.size(); ++i) {
        t += d.recordSeconds + (i == d.stallAfter && i > 0 ? d.stallSeconds : 0);
        bool fresh = false;
        while (next < d.readings.size() && 0.005 + next * d.periodSeconds <= t) {
            fresh = 0.005 + next * d.periodSeconds > previous;
            v[logcol::LC_COrrect] = static_cast<float>(d.readings[next++]);
        }
        previous = t;
        log.Append(t, v);
        took.push_back(fresh);
    }
    return took;
}

TEST(WidebandReadings, RowsThatTookAReadingAreFound) {
    const struct {
        const char* name;
        Drive drive;
    } cases[] = {
        {"every reading differs", {{0.91, 0.92, 0.95, 0.93, 0.97, 0.96, 0.98, 0.94}}},
        {"repeated readings are put back a period apart",
         {{0.91, 0.92, 0.92, 0.95, 0.93, 0.93, 0.93, 0.97, 0.96, 0.94}}},
        {"a stalled link adds no reading",
         {{0.91, 0.92, 0.95, 0.93, 0.97, 0.96, 0.98, 0.94}, 0.010, 0.080, 39, 0.050}},
        {"the still run at the end is filled to the last row",
         {{0.91, 0.92, 0.95, 0.93, 0.97, 0.97, 0.97}, 0.010, 0.080, 0, 0.060, 52}},
        {"records slower than readings", {{0.91, 0.92, 0.95, 0.95, 0.93, 0.97}, 0.1, 0.1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogTable log;
        const std::vector<bool> took = DriveLog(c.drive, log);
        const std::vector<bool> found = FreshReadingRows(log);
        ASSERT_EQ(found.size(), took.size());
        for (std::size_t row = 0; row < took.size(); ++row)
            EXPECT_EQ(found[row], took[row]) << "row " << row;
    }
}

TEST(WidebandReadings, ALogWithoutReadingsHasNone) {
    LogTable log;
    std::array<float, kLogColumnCount> v{};
    for (int i = 0; i < 50; ++i)
        log.Append(i * 0.01, v);
    for (bool fresh : FreshReadingRows(log))
        EXPECT_FALSE(fresh);
}

}  // namespace
}  // namespace veltrano
