#include <gtest/gtest.h>

#include <numeric>

#include "learning/axis_search.h"
#include "learning/narrowband.h"
#include "learning/operating_point.h"

namespace veltrano {
namespace {

// Speed axis 600, 800, ... 6600; throttle 0, 4, ... 60 (last point far below 98);
// pressure 20, 26, ... 110; 32-point axes in steps of 200 rpm and 3 kPa.
LearningAxes TestAxes() {
    LearningAxes a;
    for (int i = 0; i < 16; ++i) {
        a.FRPMAxis[i] = 600 + 400 * i;
        a.FThrottleAxis[i] = 4 * i;
        a.FDADAxis[i] = 20 + 6 * i;
    }
    for (int i = 0; i < 32; ++i) {
        a.FRPMAxis_32[i] = 600 + 200 * i;
        a.FdadAxis_32[i] = 20 + 3 * i;
    }
    return a;
}

struct SearchCase {
    double rpm;
    int index;
    double frac;
};

TEST(AxisSearch, SpeedAxisIndicesAndFractions) {
    const LearningAxes axes = TestAxes();
    const SearchCase cases[] = {
        {500, 1, 0},   {600, 1, 0},     {800, 1, 0.5},
        {1000, 2, 0},  {1100, 2, 0.25}, {6599, 15, 399.0 / 400},
        {6600, 16, 0}, {9000, 16, 0},
    };
    for (const auto& c : cases) {
        OperatingCell op;
        AxisFractions fr;
        LocateOperatingPoint(axes, {50, 10, c.rpm}, true, op, fr);
        EXPECT_EQ(op.RPM_RT, c.index) << c.rpm;
        EXPECT_DOUBLE_EQ(fr.RpmFrac, c.frac) << c.rpm;
    }
}

TEST(AxisSearch, ThrottleTopRuleIsFixedAt98) {
    const LearningAxes axes = TestAxes();
    struct Case {
        double tps;
        int previous;
        int index;
        double frac;
    } cases[] = {
        {0, 7, 1, 0},      // closed throttle
        {58, 0, 15, 0.5},  // inside the last interval
        {70, 5, 5, 0},     // past the last point, below 98: keeps the previous row
        {98, 3, 16, 0},    // top rule
        {100, 3, 16, 0},
    };
    for (const auto& c : cases) {
        OperatingCell op;
        op.TRT_RT = c.previous;
        AxisFractions fr;
        LocateOperatingPoint(axes, {50, c.tps, 1000}, true, op, fr);
        EXPECT_EQ(op.TRT_RT, c.index) << c.tps;
        if (c.tps != 70) {
            EXPECT_DOUBLE_EQ(fr.TrtFrac, c.frac) << c.tps;
        }
    }
}

TEST(AxisSearch, ThrottleZeroGivesFirstRowEvenWhenAxisStartsHigher) {
    LearningAxes axes = TestAxes();
    for (int i = 0; i < 16; ++i)
        axes.FThrottleAxis[i] = 2 + 4 * i;
    OperatingCell op;
    AxisFractions fr;
    LocateOperatingPoint(axes, {50, 0, 1000}, true, op, fr);
    EXPECT_EQ(op.TRT_RT, 1);
    EXPECT_EQ(fr.TrtFrac, 0);
}

TEST(AxisSearch, PressureFractionNeedsFlagDad) {
    const LearningAxes axes = TestAxes();
    OperatingCell op;
    AxisFractions fr;
    LocateOperatingPoint(axes, {23, 10, 1000}, true, op, fr);
    EXPECT_EQ(op.DAD_RT, 1);
    EXPECT_DOUBLE_EQ(fr.DadFrac, 0.5);
    LocateOperatingPoint(axes, {23, 10, 1000}, false, op, fr);
    EXPECT_EQ(op.DAD_RT, 1);
    EXPECT_EQ(fr.DadFrac, 0);
    LocateOperatingPoint(axes, {200, 10, 1000}, true, op, fr);
    EXPECT_EQ(op.DAD_RT, 16);
    EXPECT_EQ(fr.DadFrac, 0);
}

TEST(AxisSearch, ThirtyTwoPointSpeedNeverGives31) {
    const LearningAxes axes = TestAxes();
    const struct {
        double rpm;
        int index;
    } cases[] = {{600, 1}, {6599, 30}, {6600, 32}, {6700, 32}, {6800, 32}, {9000, 32}};
    for (const auto& c : cases) {
        OperatingCell op;
        AxisFractions fr;
        LocateOperatingPoint(axes, {50, 10, c.rpm}, true, op, fr);
        EXPECT_EQ(op.RPM_RT_32, c.index) << c.rpm;
    }
}

TEST(AxisSearch, NonAscendingAxisKeepsLastMatchAndNeverDividesByZero) {
    const std::int32_t flat[16] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    EXPECT_EQ(AxisSearch(5, flat, RpmAxisRule(flat), 4), 1);
    EXPECT_EQ(AxisFraction(10, flat, 3), 0);
    EXPECT_EQ(AxisFraction(10, flat, 0), 0);  // no cell found yet
}

TEST(Weights, RoundedAndAveraged) {
    EXPECT_DOUBLE_EQ(RoundWeight(0.12345), 0.123);
    EXPECT_DOUBLE_EQ(RoundWeight(0.0625), 0.063);  // half away from zero
    EXPECT_DOUBLE_EQ(RoundWeight(1.0), 1.0);

    AxisFractions fr;
    fr.RpmFrac = 0.25;
    fr.TrtFrac = 0.5;
    fr.DadFrac = 0.9;
    WeightAverages avg;
    CellWeights w = SmoothWeights(fr, false, avg);
    EXPECT_DOUBLE_EQ(fr.LoadFrac, 0.5);
    // First record after start: half of the raw weights.
    EXPECT_DOUBLE_EQ(w.W00, 0.375 / 2);
    EXPECT_DOUBLE_EQ(w.W10, 0.125 / 2);
    EXPECT_DOUBLE_EQ(w.W01, 0.375 / 2);
    EXPECT_DOUBLE_EQ(w.W11, 0.125 / 2);
    w = SmoothWeights(fr, false, avg);
    EXPECT_NEAR(w.W00 + w.W10 + w.W01 + w.W11, 0.75, 1e-12);
    for (int i = 0; i < 40; ++i)
        w = SmoothWeights(fr, false, avg);
    EXPECT_NEAR(w.W00 + w.W10 + w.W01 + w.W11, 1.0, 1e-9);
    EXPECT_NEAR(avg.T1, 37.5, 1e-9);
}

TEST(Weights, PressureRowsWithoutFlagDadPutEverythingOnTheRow) {
    const LearningAxes axes = TestAxes();
    OperatingCell op;
    AxisFractions fr;
    LocateOperatingPoint(axes, {23, 10, 800}, false, op, fr);
    WeightAverages avg;
    const CellWeights w = SmoothWeights(fr, true, avg);
    EXPECT_EQ(w.W01, 0);
    EXPECT_EQ(w.W11, 0);
    EXPECT_GT(w.W10, 0);
}

TEST(Narrowband, CurvePoints) {
    const struct {
        double volts;
        double afr;
    } cases[] = {{0.1, 15.2},  {0.2, 15.2},  {0.3, 15.1}, {0.45, 14.7}, {0.5, 14.6},
                 {0.65, 14.2}, {0.79, 13.1}, {0.8, 13.0}, {0.9, 13.0}};
    for (const auto& c : cases)
        EXPECT_NEAR(NarrowbandAfr(c.volts), c.afr, 1e-12) << c.volts;
    EXPECT_DOUBLE_EQ(LinearInterpolate(0, 1, 2, 10, 20), 15);
}

}  // namespace
}  // namespace veltrano
