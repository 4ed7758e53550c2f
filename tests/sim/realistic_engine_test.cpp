#include "sim/realistic_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "sim/builtin_image.h"
#include "sim/ecu_config.h"
#include "sim/ecu_simulator.h"
#include "sim/engine_model.h"
#include "sim/live_blocks.h"
#include "sim/sim_command_line.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TransportDelay, DefaultTableAtItsPointsAndBeyond) {
    struct Case {
        double rpm, kpa, ms;
    };
    const Case cases[] = {
        {500, 30, 350},   {4000, 30, 300}, {7500, 30, 200}, {500, 100, 250}, {4000, 100, 150},
        {7500, 100, 100}, {2250, 30, 325}, {4000, 65, 225}, {300, 20, 350},  {9000, 120, 100},
    };
    const TransportDelayTable table;
    for (const Case& c : cases)
        EXPECT_NEAR(table.DelayMs(c.rpm, c.kpa), c.ms, 1e-9) << c.rpm << " rpm " << c.kpa << " kPa";
}

class RealisticEngineTest : public ::testing::Test {
  protected:
    RealisticEngineTest()
        : memory(OwnEcuImage()), calibrated(memory), config(ReadEcuConfig(memory)) {}

    EngineState Evaluate(EngineModel& engine) {
        return engine.Evaluate(memory, calibrated, config, ChooseTables(config, 0));
    }
    void ScalePcn(double factor) {
        const std::uint16_t at = ChooseTables(config, 0).pcn.address;
        for (int i = 0; i < 256; ++i)
            memory[at + i] = static_cast<std::uint8_t>(std::lround(memory[at + i] * factor));
    }

    Bytes memory;
    Bytes calibrated;
    EcuConfig config;
};

// More fuel at t = 1 s: the probe shows nothing of it for the table's delay, then follows
// with its first-order lag (63 % after one time constant).
TEST_F(RealisticEngineTest, FuelStepReachesTheProbeAfterTheDelayThenWithTheLag) {
    struct Case {
        double rpm, kpa, delayMs;
    };
    const Case cases[] = {{500, 30, 350}, {4000, 30, 300}, {4000, 100, 150}, {7500, 100, 100}};
    constexpr double kStep = 0.002;
    for (const Case& c : cases) {
        memory = calibrated;
        RealisticSettings r;
        r.noiseAfr = 0;
        EngineSettings settings;
        settings.realistic = r;
        EngineModel engine(settings);
        engine.Hold(OperatingPoint{c.rpm, 30.0, c.kpa, 50.0});
        engine.HoldCoolant(90);
        double t = 0;
        for (; t < 1.0; t += kStep) {
            engine.Advance(kStep);
            Evaluate(engine);
        }
        const double before = Evaluate(engine).measuredAfr;
        ScalePcn(1.25);
        const double burned = Evaluate(engine).burnedAfr;
        ASSERT_LT(burned, before * 0.85);
        auto at = [&](double seconds) {
            const double end = 1.0 + seconds;
            double afr = 0;
            for (; t < end - 1e-9; t += kStep) {
                engine.Advance(kStep);
                afr = Evaluate(engine).measuredAfr;
            }
            return afr;
        };
        const double delay = c.delayMs / 1000.0;
        const double lag = r.probeLagSeconds;
        SCOPED_TRACE(std::to_string(c.rpm) + " rpm " + std::to_string(c.kpa) + " kPa");
        EXPECT_DOUBLE_EQ(at(delay - 0.01), before);
        const double share = (before - at(delay + lag)) / (before - burned);
        EXPECT_NEAR(share, 1 - std::exp(-1.0), 0.04);
        EXPECT_NEAR(at(delay + 6 * lag), burned, 0.01 * burned);
    }
}

// One lap of the drive, as the live data blocks carry it: idle, accelerations with
// enrichment, cruise at several points, fuel cut on the overrun; the probe reads air after
// a cut and rich after an enrichment, each late by the exhaust's delay.
TEST_F(RealisticEngineTest, DrivePhasesShowInTheLiveData) {
    EngineSettings settings;
    settings.realistic = RealisticSettings{};
    settings.script = RealisticDriveScript();
    EngineModel engine(settings);
    engine.HoldCoolant(90);
    const double lap = settings.script.back().seconds;
    int idle = 0, fuelCut = 0, enriched = 0, cutReadLate = 0, cruise = 0;
    std::set<std::pair<int, int>> cruisePoints;
    bool cutBefore = false;
    double cutEnded = -1;
    for (double t = 0; t < lap; t += 0.02) {
        engine.Advance(0.02);
        const EngineState s = Evaluate(engine);
        const Bytes b1 = LiveBlock01(s);
        const Bytes b15 = LiveBlock0F(s, config);
        const bool isIdle = (b1[3] & 0x02) != 0;
        const bool isCut = (b1[3] & 0x08) != 0;
        const bool isRich = b15[40] + 256 * b15[41] > 0;
        idle += isIdle;
        fuelCut += isCut;
        enriched += isRich;
        if (cutBefore && !isCut)
            cutEnded = t;
        cutBefore = isCut;
        if (!isCut && cutEnded >= 0 && t - cutEnded < 0.1 && s.measuredAfr > 20)
            ++cutReadLate;
        if (!isIdle && !isCut && !isRich && s.point.rpm > 1500) {
            ++cruise;
            cruisePoints.insert({int(s.point.rpm / 500), int(s.point.throttle / 10)});
        }
    }
    EXPECT_GT(idle, 300);     // more than 6 s
    EXPECT_GT(fuelCut, 200);  // more than 4 s
    EXPECT_GT(enriched, 20);
    EXPECT_GT(cutReadLate, 0);
    EXPECT_GT(cruise, 2500);  // most of the lap
    EXPECT_GE(cruisePoints.size(), 8u);
}

TEST(RealisticEngine, SurfaceIsSmoothWithBumpsBothWays) {
    const auto cells = RealisticVeSurface();
    double low = 0, high = 0, steepest = 0;
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            const double v = cells[r * 16 + c];
            low = std::min(low, v);
            high = std::max(high, v);
            if (c < 15)
                steepest = std::max(steepest, std::fabs(cells[r * 16 + c + 1] - v));
            if (r < 15)
                steepest = std::max(steepest, std::fabs(cells[(r + 1) * 16 + c] - v));
        }
    }
    EXPECT_GE(high, 15);
    EXPECT_LE(high, 25);
    EXPECT_LE(low, -12);
    EXPECT_GE(low, -25);
    EXPECT_LT(steepest, 8);  // no cliffs between neighbouring cells
}

TEST(RealisticEngine, OneSwitchOnTheCommandLine) {
    SimCommandLine plain, realistic;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine({}, plain, error));
    ASSERT_TRUE(ParseSimCommandLine({"--realistic"}, realistic, error)) << error;
    EXPECT_FALSE(plain.ecu.realistic);
    EXPECT_TRUE(plain.ecu.script.empty());
    ASSERT_TRUE(realistic.ecu.realistic);
    EXPECT_TRUE(realistic.ecu.trueVeSurface);
    EXPECT_FALSE(realistic.ecu.script.empty());
    // A script of one's own keeps its place.
    SimCommandLine held;
    ASSERT_TRUE(ParseSimCommandLine({"--realistic", "--hold", "3000,20,70"}, held, error));
    EXPECT_EQ(held.ecu.script.size(), 1u);
}

}  // namespace
}  // namespace veltrano
