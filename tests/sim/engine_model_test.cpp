#include "sim/engine_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim/builtin_image.h"
#include "sim/live_blocks.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

double Word(const Bytes& d, std::size_t at) {
    return d[at] + 256.0 * d[at + 1];
}
double Afr(std::uint8_t b) {
    return (b + 128) * 14.7 / 256.0;
}

class EngineModelTest : public ::testing::Test {
  protected:
    EngineModelTest() : memory(OwnEcuImage()), calibrated(memory), config(ReadEcuConfig(memory)) {}

    EngineState At(EngineModel& engine, const OperatingPoint& p, std::uint8_t ramCode = 0) {
        engine.Hold(p);
        engine.HoldCoolant(90.0);
        return engine.Evaluate(memory, calibrated, config, ChooseTables(config, ramCode));
    }
    // Multiplies the 16x16 table at `address` by `factor`.
    void Scale(std::uint16_t address, double factor) {
        for (int i = 0; i < 256; ++i) {
            memory[address + i] =
                static_cast<std::uint8_t>(std::lround(memory[address + i] * factor));
        }
    }

    Bytes memory;
    Bytes calibrated;
    EcuConfig config;
    OperatingPoint cruise{3000.0, 20.0, 70.0, 60.0};
};

// Decoded with the link's rules, both blocks give back the operating point.
TEST_F(EngineModelTest, LiveBlocksDecodeToTheOperatingPoint) {
    EngineModel engine({});
    const EngineState s = At(engine, cruise);
    const Bytes b1 = LiveBlock01(s);
    ASSERT_EQ(b1.size(), 37u);
    EXPECT_EQ(b1[9] - 40, 90);
    EXPECT_EQ(b1[11], 20);
    EXPECT_EQ(b1[12] * 40, 3000);
    EXPECT_EQ(b1[3] & 1, 0);  // running
    EXPECT_NEAR(Afr(b1[10]), s.targetAfr, 1e-9);
    EXPECT_NEAR(Word(b1, 23) / 125.0, s.injectionMs, 0.01);

    const Bytes b15 = LiveBlock0F(s, config);
    ASSERT_EQ(b15.size(), 52u);
    EXPECT_EQ(b15[13] * 40, 3000);
    EXPECT_EQ(b15[10], b1[10]);
    const double pressure = (b15[27] * 5.0 / 256.0 + config.mapOffset) * config.mapSlope;
    EXPECT_NEAR(pressure, 70.0, 0.5);
    const double spark = b15[21] < 128 ? b15[21] / 2.0 : -(256 - b15[21]) / 2.0;
    EXPECT_NEAR(spark, s.spark, 0.25);
}

TEST_F(EngineModelTest, IdleAndFuelCutFlags) {
    EngineModel engine({});
    const EngineState idle = At(engine, {850.0, 0.0, 30.0, 0.0});
    EXPECT_TRUE(idle.idle);
    EXPECT_EQ(LiveBlock01(idle)[3] & 0x02, 0x02);
    const EngineState coast = At(engine, {2500.0, 0.0, 25.0, 50.0});
    EXPECT_TRUE(coast.fuelCut);
    EXPECT_EQ(LiveBlock0F(coast, config)[1] & 0x08, 0x08);
    EXPECT_GT(coast.measuredAfr, 20.0);
}

// Learning closes the loop: PCN scaled by the true error brings the mixture to target.
TEST_F(EngineModelTest, MeasuredMixtureFollowsTheTrueErrorAgainstThePcnInUse) {
    EngineSettings settings;
    settings.trueVeErrorPercent = 10.0;
    EngineModel engine(settings);
    const EngineState lean = At(engine, cruise);
    EXPECT_NEAR(lean.measuredAfr / lean.targetAfr, 1.10, 1e-9);

    Scale(config.addrPcn, 1.10);
    const EngineState corrected = At(engine, cruise);
    EXPECT_NEAR(corrected.measuredAfr / corrected.targetAfr, 1.0, 0.01);
}

TEST_F(EngineModelTest, RamWindowPcnUsedAfterCaptureWithCodeFour) {
    EngineModel engine({});
    std::copy_n(memory.begin() + config.addrPcn, 256, memory.begin() + kRamWindow);
    Scale(kRamWindow, 0.8);  // 20 % less fuel from the RAM copy
    EXPECT_NEAR(At(engine, cruise, 0x00).measuredAfr / At(engine, cruise).targetAfr, 1.0, 1e-9);
    const EngineState ram = At(engine, cruise, 0x04);
    EXPECT_NEAR(ram.measuredAfr / ram.targetAfr, 1.25, 0.01);
}

TEST_F(EngineModelTest, ScriptInterpolatesAndRepeats) {
    EngineSettings settings;
    settings.script = {{0.0, {1000.0, 0.0, 30.0, 0.0}}, {10.0, {3000.0, 40.0, 80.0, 50.0}}};
    EngineModel engine(settings);
    engine.Advance(5.0);
    EXPECT_NEAR(engine.Point().rpm, 2000.0, 1e-9);
    EXPECT_NEAR(engine.Point().throttle, 20.0, 1e-9);
    engine.Advance(7.5);  // 12.5 s: the script restarted 2.5 s ago
    EXPECT_NEAR(engine.Point().rpm, 1500.0, 1e-9);
}

// The transient coefficients are zero in steady running, so a steady cell can be learned.
TEST_F(EngineModelTest, TransientCorrectionOnlyWhileTheThrottleMoves) {
    EngineSettings settings;
    settings.script = {{0.0, {2000.0, 10.0, 50.0, 40.0}},
                       {2.0, {2000.0, 10.0, 50.0, 40.0}},
                       {2.5, {2500.0, 60.0, 85.0, 50.0}},
                       {4.0, {2500.0, 60.0, 85.0, 50.0}},
                       {4.5, {2000.0, 10.0, 50.0, 40.0}}};
    EngineModel engine(settings);
    double now = 0.0;
    auto gtc = [&](double until) {  // polled every 50 ms, as a link does
        for (; now < until - 1e-9; now += 0.05) {
            engine.Advance(0.05);
        }
        const Bytes d = LiveBlock0F(
            engine.Evaluate(memory, calibrated, config, ChooseTables(config, 0)), config);
        return std::make_pair(Word(d, 40) / 256.0, Word(d, 42) / 256.0);
    };
    EXPECT_EQ(gtc(1.0), std::make_pair(0.0, 0.0)) << "steady";
    const auto opening = gtc(2.2);  // the throttle opens at 100 %/s
    EXPECT_GT(opening.first, 0.0);
    EXPECT_EQ(opening.second, 0.0);
    EXPECT_EQ(gtc(3.4), std::make_pair(0.0, 0.0)) << "steady again";
    const auto closing = gtc(4.4);
    EXPECT_EQ(closing.first, 0.0);
    EXPECT_GT(closing.second, 0.0);
}

TEST_F(EngineModelTest, CoolantWarmsUpAndRandomWalkStaysInRange) {
    EngineSettings settings;
    settings.coolantStart = 20.0;
    settings.warmupSeconds = 60.0;
    EngineModel engine(settings);
    const double cold = engine.Coolant();
    for (int i = 0; i < 600; ++i) {
        engine.Advance(0.1);
        const OperatingPoint p = engine.Point();
        ASSERT_GE(p.throttle, 0.0);
        ASSERT_LE(p.throttle, 100.0);
        ASSERT_GT(p.rpm, 500.0);
        ASSERT_LT(p.rpm, 8000.0);
    }
    EXPECT_NEAR(cold, 20.0, 1e-9);
    EXPECT_GT(engine.Coolant(), 85.0);
}

}  // namespace
}  // namespace veltrano
