#include "link/live_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Block(std::uint8_t id, std::vector<std::pair<int, std::uint8_t>> set) {
    Bytes d(id == 0x0F ? 52 : 37, 0);
    d[0] = id;
    for (auto [k, v] : set)
        d[k] = v;
    return d;
}

struct RealCase {
    const char* name;
    std::uint8_t block;
    std::vector<std::pair<int, std::uint8_t>> bytes;
    double LiveRecord::*field;
    double want;
};

TEST(LiveDecoder, ScalingRules) {
    using R = LiveRecord;
    const RealCase cases[] = {
        {"spark +10", 0x01, {{17, 0x14}}, &R::FsensorSparkAngle, 10.0},
        {"spark -10", 0x01, {{17, 0xEC}}, &R::FsensorSparkAngle, -10.0},
        {"spark -64", 0x01, {{17, 0x80}}, &R::FsensorSparkAngle, -64.0},
        {"coolant -40", 0x01, {{9, 0}}, &R::FsensorCoolantTemp, -40.0},
        {"coolant 90", 0x01, {{9, 130}}, &R::FsensorCoolantTemp, 90.0},
        {"afr 7.35", 0x01, {{10, 0}}, &R::FsensorAirFuelRatio, 7.35},
        {"afr 14.7", 0x01, {{10, 128}}, &R::FsensorAirFuelRatio, 14.7},
        {"rpm", 0x01, {{12, 75}}, &R::FsensorCrankshaftSpeed, 3000.0},
        {"idle rpm", 0x01, {{13, 80}}, &R::FsensorCrankshaftIdleSpeed, 800.0},
        {"fuel time 8.0", 0x01, {{23, 0xE8}, {24, 0x03}}, &R::FsensorFuelTimeLength, 8.0},
        {"correction 0.625 -> 0.63", 0x01, {{16, 32}}, &R::FsensorFuelTimeCorrection, 0.63},
        {"battery 01", 0x01, {{19, 140}}, &R::FsensorVoltage, 12.2},
        {"lambda volts", 0x01, {{21, 128}}, &R::FsensorLambdaVoltage, 0.625},
        {"air mass", 0x01, {{25, 0x10}, {26, 0x27}}, &R::FsensorAirWeightRate, 1000.0},
        {"air cycle", 0x01, {{27, 0x58}, {28, 0x02}}, &R::FsensorAirCycleRate, 100.0},
        {"fuel way", 0x01, {{29, 0x67}, {30, 0x3D}}, &R::FsensorFuelWayRate, 314.38},
        {"block 0F rpm", 0x0F, {{13, 50}}, &R::FsensorCrankshaftSpeed, 2000.0},
        {"block 0F throttle", 0x0F, {{12, 33}}, &R::FsensorThrottlePosition, 33.0},
        {"block 0F correction 0.5", 0x0F, {{19, 0x01}}, &R::FsensorFuelTimeCorrection, 0.5},
        {"block 0F rco", 0x0F, {{11, 64}}, &R::FsensorRCO, 0.25},
        {"block 0F cycle", 0x0F, {{15, 0x34}, {16, 0x12}}, &R::FsensorTimeCicle, 0x1234},
        {"block 0F phase", 0x0F, {{20, 7}}, &R::FsensorFazaIngection, 21.0},
        {"block 0F spark", 0x0F, {{21, 0xEC}}, &R::FsensorSparkAngle, -10.0},
        {"block 0F cyl 4 unsigned", 0x0F, {{25, 0xEC}}, &R::FsensorSparkAngle_correct_4, 118.0},
        {"block 0F knock volts", 0x0F, {{26, 128}}, &R::FsensotKNOCkVoltage, 2.5},
        {"block 0F battery", 0x0F, {{28, 150}}, &R::FsensorVoltage, 13.95},
        {"block 0F air temp", 0x0F, {{38, 60}}, &R::FsensorTAIR, 20.0},
        {"block 0F lambda 2", 0x0F, {{39, 64}}, &R::FsensorLamMdaVoltage_2, 0.3125},
        {"block 0F GTC hi", 0x0F, {{40, 0x80}, {41, 0x01}}, &R::FsensorCoeffCorrGTC_HI, 1.5},
        {"block 0F GTC lo", 0x0F, {{42, 0x40}}, &R::FsensorCoeffCorrGTC_LO, 0.25},
        {"block 0F fuel time", 0x0F, {{44, 0xE8}, {45, 0x03}}, &R::FsensorFuelTimeLength, 8.0},
        {"block 0F fuel rate", 0x0F, {{50, 0x64}}, &R::FsensorFuelTimeRate, 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LiveRecord r;
        ASSERT_TRUE(DecodeLiveBlock(Block(c.block, c.bytes), 0, 0, r));
        EXPECT_DOUBLE_EQ(r.*c.field, c.want);
    }
}

TEST(LiveDecoder, ExtendedPrecisionFactorsGiveTheNearestDouble) {
    LiveRecord r;
    ASSERT_TRUE(DecodeLiveBlock(Block(0x01, {{10, 128}, {19, 140}}), 0, 0, r));
    EXPECT_EQ(r.FsensorAirFuelRatio, 14.7);
    EXPECT_EQ(r.FsensorVoltage, 12.2);
}

TEST(LiveDecoder, Block01Flags) {
    LiveRecord r;
    ASSERT_TRUE(
        DecodeLiveBlock(Block(0x01, {{1, 0x81}, {2, 0x82}, {3, 0x00}, {4, 0xC0}}), 0, 0, r));
    EXPECT_EQ(r.flag_endine_run, 1);
    EXPECT_EQ(r.Flam_Log, 1);
    EXPECT_EQ(r.flag_O2_old, 1);
    EXPECT_EQ(r.flag_o2_new, 1);
    EXPECT_EQ(r.FlamOld, 1);
    EXPECT_EQ(r.FLam, 1.0);
    EXPECT_TRUE(r.FLambda);
    EXPECT_TRUE(r.FIdleWorkAdaptation);
    EXPECT_FALSE(r.FAdsorber);
    EXPECT_TRUE(r.FCOAdaptation);
    EXPECT_TRUE(r.FNotSyncInjectionAtWork);
    EXPECT_FALSE(r.FSaveErrors);

    ASSERT_TRUE(DecodeLiveBlock(Block(0x01, {{3, 0x1B}, {4, 0x40}, {22, 0x03}}), 0, 0, r));
    EXPECT_EQ(r.flag_endine_run, 0);
    EXPECT_EQ(r.flag_XX, 1);
    EXPECT_EQ(r.FlagXX, 1);
    EXPECT_EQ(r.flag_fuelOFF, 1);
    EXPECT_EQ(r.flag_zone_O2, 1);
    EXPECT_TRUE(r.FzoneDK);
    EXPECT_EQ(r.flag_pow, 0);
    EXPECT_EQ(r.Flam_Log, 0);
    EXPECT_EQ(r.FLam, 0.0);
    EXPECT_EQ(r.flag_O2_gotov, 1);
    EXPECT_EQ(r.flag_O2_heater, 1);
}

TEST(LiveDecoder, Block0FLeavesTheBlock01OnlyIndicators) {
    LiveRecord r;
    ASSERT_TRUE(DecodeLiveBlock(Block(0x01, {{3, 0x02}, {4, 0xC0}, {29, 100}}), 0, 0, r));
    ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{1, 0x01}, {2, 0x00}}), 0, 0, r));
    EXPECT_EQ(r.flag_endine_run, 0);
    EXPECT_EQ(r.flag_XX, 0);
    EXPECT_EQ(r.FlamOld, 0);
    EXPECT_EQ(r.FLam, 0.0);
    // Kept from block 0x01.
    EXPECT_EQ(r.FlagXX, 1);
    EXPECT_EQ(r.flag_O2_old, 1);
    EXPECT_EQ(r.flag_o2_new, 1);
    EXPECT_EQ(r.Flam_Log, 1);
    EXPECT_EQ(r.FsensorFuelWayRate, 2.0);
}

TEST(LiveDecoder, ScaledCoefficientRoundsHalfToEven) {
    const std::pair<std::uint8_t, int> cases[] = {{0x01, 64}, {0x03, 66}, {0x00, 64}, {0xFF, 192}};
    for (auto [d19, want] : cases) {
        LiveRecord r;
        ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{19, d19}}), 0, 0, r));
        EXPECT_EQ(r.COEFFCORR_OLT, want) << int(d19);
        EXPECT_EQ(r.FsensorRamCoeffCorr, want) << int(d19);
    }
}

TEST(LiveDecoder, PressureFromTheSensorCharacteristic) {
    LiveRecord r;
    // 128 * 5 / 256 = 2.5 V; (2.5 + 0.5) * 21.5 = 64.5 -> 64; (2.5 + 0.5) * 21.833 -> 65.
    ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{27, 128}}), 21.5, 0.5, r));
    EXPECT_EQ(r.FsensorDmrvVoltage, 2.5);
    EXPECT_EQ(r.FsensorPressure, 64);
    ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{27, 128}}), 21.833, 0.5, r));
    EXPECT_EQ(r.FsensorPressure, 65);
}

TEST(LiveDecoder, PressureFromABrokenCharacteristicStaysInRange) {
    LiveRecord r;
    ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{27, 128}}), std::nan(""), 0.5, r));
    EXPECT_EQ(r.FsensorPressure, 0);
    ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{27, 128}}), 1e300, 0.5, r));
    EXPECT_EQ(r.FsensorPressure, 2147483647);
}

TEST(LiveDecoder, InjectorDuty) {
    LiveRecord r;
    ASSERT_TRUE(DecodeLiveBlock(Block(0x01, {{12, 75}, {23, 0xE8}, {24, 0x03}}), 0, 0, r));
    EXPECT_DOUBLE_EQ(r.InjDuty, 20.0);
    // Engine stopped: the duty keeps its value.
    ASSERT_TRUE(DecodeLiveBlock(Block(0x01, {{12, 0}, {23, 0xE8}, {24, 0x03}}), 0, 0, r));
    EXPECT_DOUBLE_EQ(r.InjDuty, 20.0);
    ASSERT_TRUE(DecodeLiveBlock(Block(0x0F, {{13, 150}, {44, 0xE8}, {45, 0x03}}), 0, 0, r));
    EXPECT_DOUBLE_EQ(r.InjDuty, 40.0);
}

TEST(LiveDecoder, ShortOrForeignBlocksAreDropped) {
    LiveRecord r;
    ASSERT_TRUE(DecodeLiveBlock(Block(0x01, {{9, 130}}), 0, 0, r));
    Bytes short01 = Block(0x01, {{9, 0}});
    short01.resize(kBlock01Size - 1);
    Bytes short0F = Block(0x0F, {{9, 0}});
    short0F.resize(kBlock0FSize - 1);
    const Bytes cases[] = {short01, short0F, Block(0x02, {{9, 0}}), Bytes{}};
    for (const auto& d : cases) {
        EXPECT_FALSE(DecodeLiveBlock(d, 0, 0, r));
        EXPECT_EQ(r.FsensorCoolantTemp, 90.0);
    }
    Bytes exact = Block(0x01, {{9, 40}});
    exact.resize(kBlock01Size);
    EXPECT_TRUE(DecodeLiveBlock(exact, 0, 0, r));
    EXPECT_EQ(r.FsensorCoolantTemp, 0.0);
}

TEST(LiveDecoder, TwoDecimalRounding) {
    EXPECT_EQ(RoundTwoDecimals(0.625), 0.63);
    EXPECT_EQ(RoundTwoDecimals(0.5), 0.5);
    EXPECT_EQ(RoundTwoDecimals(0.99609375), 1.0);
    EXPECT_EQ(RoundTwoDecimals(0.50390625), 0.5);
}

}  // namespace
}  // namespace veltrano
