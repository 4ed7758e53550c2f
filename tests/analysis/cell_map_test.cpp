// The per-cell map over a hand-made log: rows, mean mixture error and spread per cell, the
// filters, and the rows of a cell.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/cell_axes.h"
#include "analysis/cell_map.h"
#include "analysis/log_reader.h"
#include "tests/analysis/log_writer.h"

namespace veltrano {
namespace {

struct HandRow {
    int c, r;
    double wideband;  // AFR; 0: no reading
    double coolant = 90;
    int fuelOff = 0;
    double tps = 10;
};

LogTable HandMadeLog(const std::vector<HandRow>& rows) {
    std::vector<LogRowSpec> specs;
    int ms = 0;
    for (const HandRow& h : rows) {
        LogRowSpec s;
        s.time = {10, 0, ms / 1000, ms % 1000};
        ms += 100;
        s.live.FsensorAirFuelRatio = 14.7;
        s.live.FsensorCoolantTemp = h.coolant;
        s.live.flag_fuelOFF = h.fuelOff;
        s.live.FsensorThrottlePosition = h.tps;
        s.live.FsensorCrankshaftSpeed = 600 + 400 * (h.c - 1);
        s.live.FsensorPressure = 20 + 6 * (h.r - 1);
        s.lambdaAfr = h.wideband;
        s.cycle.RPM_RT = h.c;
        s.cycle.TRT_RT = h.r;
        specs.push_back(s);
    }
    const LogReadResult r = ReadSessionLog(WriteOwnLog(
        TestDir(::testing::UnitTest::GetInstance()->current_test_info()->name()), specs));
    EXPECT_TRUE(r.ok) << r.error;
    return r.table;
}

const std::vector<HandRow> kRows = {
    {3, 4, 14.7},            // 0: arrives from nowhere: not stationary
    {3, 4, 14.7 * 1.1},      // 1
    {3, 4, 14.7 * 0.9},      // 2
    {3, 4, 0},               // 3: no wideband reading: counted, no error
    {3, 4, 20, 50},          // 4: cold
    {3, 4, 20, 90, 1},       // 5: fuel cut
    {3, 4, 14.7},            // 6
    {5, 6, 14.7},            // 7: jump
    {5, 6, 14.7 * 1.05},     // 8
    {5, 6, 20, 90, 0, 1.5},  // 9: throttle closed
    {5, 6, 14.7 * 1.05},     // 10
    {4, 6, 14.7 * 1.02},     // 11: one cell over keeps the run
};

TEST(CellMap, MeanAndSpreadOfTheMixtureErrorPerCell) {
    const LogTable t = HandMadeLog(kRows);
    const RowCells cells = CellsOfRows(t, {});
    const auto keep = FilterRows(t, cells, RowFilter{});
    const CellMap map(t, cells, keep);
    const struct {
        int c, r;
        long rows, mixtureRows;
        double mean, spread;
    } cases[] = {
        {3, 4, 4, 3, 0.0, std::sqrt(0.02 / 3)},
        {5, 6, 2, 2, 0.05, 0.0},
        {4, 6, 1, 1, 0.02, 0.0},
        {1, 1, 0, 0, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        const CellStats& s = map.At(c.c, c.r);
        EXPECT_EQ(s.rows, c.rows) << c.c << "," << c.r;
        EXPECT_EQ(s.mixtureRows, c.mixtureRows) << c.c << "," << c.r;
        EXPECT_NEAR(s.meanError, c.mean, 1e-6) << c.c << "," << c.r;
        EXPECT_NEAR(s.spread, c.spread, 1e-6) << c.c << "," << c.r;
    }
    EXPECT_EQ(map.RowsKept(), 7);
    EXPECT_EQ(map.RowsOf(3, 4), (std::vector<std::uint32_t>{1, 2, 3, 6}));
    EXPECT_EQ(map.RowsOf(5, 6), (std::vector<std::uint32_t>{8, 10}));
}

TEST(CellMap, EachFilterLetsItsRowsBackIn) {
    const LogTable t = HandMadeLog(kRows);
    const RowCells cells = CellsOfRows(t, {});
    const struct {
        const char* name;
        RowFilter filter;
        long rows34, rows56;
    } cases[] = {
        {"all", RowFilter{}, 4, 2},
        {"cold too", RowFilter{false, 60, true, true, true, 1}, 5, 2},
        {"fuel cut too", RowFilter{true, 60, false, true, true, 1}, 4, 2},
        {"steady 2", RowFilter{true, 60, true, true, true, 2}, 2, 0},
        {"none", RowFilter{false, 60, false, false, false, 1}, 7, 4},
    };
    for (const auto& c : cases) {
        const CellMap map(t, cells, FilterRows(t, cells, c.filter));
        EXPECT_EQ(map.At(3, 4).rows, c.rows34) << c.name;
        EXPECT_EQ(map.At(5, 6).rows, c.rows56) << c.name;
    }
}

TEST(CellMap, CellsRecomputedWithTheImagesAxes) {
    std::vector<HandRow> rows = kRows;
    const LogTable t = HandMadeLog(rows);
    CellSource source;
    source.origin = CellSource::Origin::Recomputed;
    for (int i = 0; i < 16; ++i)
        source.rpmAxis[i] = 600 + 400 * i;
    // Pressure rows: the log's pressures sit on the axis points.
    source.loadIsPressure = true;
    for (int i = 0; i < 16; ++i)
        source.loadAxis[i] = 20 + 6 * i;
    const RowCells byPressure = CellsOfRows(t, source);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(byPressure.c[i], rows[i].c) << i;
        EXPECT_EQ(byPressure.r[i], rows[i].r) << i;
    }
    // Throttle rows: 10 % lies between 8 and 12 on this axis, 1.5 % in the first row.
    source.loadIsPressure = false;
    for (int i = 0; i < 16; ++i)
        source.loadAxis[i] = 4 * i;
    const RowCells byThrottle = CellsOfRows(t, source);
    EXPECT_EQ(byThrottle.r[0], 3);
    EXPECT_EQ(byThrottle.r[9], 1);
    // Shifted axes move the rows to other cells.
    for (int i = 0; i < 16; ++i)
        source.rpmAxis[i] = 1000 + 400 * i;
    EXPECT_EQ(CellsOfRows(t, source).c[1], 2);
}

// Without an image the map's headers are the lowest value the log shows per column and row:
// every row counts, whatever the filters; a column no row lies in has none.
TEST(CellMap, AxesOfTheLogAreTheLowestValuesPerColumnAndRow) {
    const LogTable t = HandMadeLog(kRows);
    const RowCells cells = CellsOfRows(t, {});
    const struct {
        bool loadIsPressure;
        std::array<double, 2> load;  // rows 4 and 6
    } cases[] = {
        {false, {10, 1.5}},  // the closed throttle of row 9 is in row 6
        {true, {38, 50}},
    };
    for (const auto& c : cases) {
        const LoggedAxes axes = AxesOfLog(t, cells, c.loadIsPressure);
        for (int k = 1; k <= 16; ++k) {
            const auto rpm = axes.rpm[size_t(k - 1)];
            if (k == 3 || k == 4 || k == 5)
                EXPECT_EQ(rpm, 600 + 400 * (k - 1)) << k;
            else
                EXPECT_FALSE(rpm) << k;
            const auto load = axes.load[size_t(k - 1)];
            if (k == 4 || k == 6)
                EXPECT_FLOAT_EQ(load.value_or(-1), c.load[k == 4 ? 0 : 1]) << k;
            else
                EXPECT_FALSE(load) << k;
        }
    }
}

}  // namespace
}  // namespace veltrano
