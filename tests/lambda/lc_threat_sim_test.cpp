// The reader against the simulated wideband controller, at the real device's rates.
#include <gtest/gtest.h>

#include "lambda/lc_threat.h"
#include "sim/lambda_simulator.h"
#include "tests/lambda/reader_fixture.h"

namespace veltrano {
namespace {

using namespace lambda_test;
using namespace std::chrono_literals;

class LambdaSimTest : public LambdaPtyTest {
  protected:
    std::unique_ptr<LambdaSimulator> StartSim(LambdaKind kind, double afr, LambdaFaults faults) {
        LambdaSimOptions options;
        options.kind = kind;
        auto sim = std::make_unique<LambdaSimulator>(options);
        sim->SetFixedAfr(afr);
        sim->SetFaults(faults);
        std::string error;
        EXPECT_TRUE(sim->Start(&error)) << error;
        return sim;
    }
    std::unique_ptr<TLcThreat> StartReader(const LambdaSimulator& sim, const char* sensor) {
        auto reader = TLcThreat::Create(sim.DevicePath(), sensor, LcOptions{logDir, {}});
        EXPECT_TRUE(reader->Running());
        return reader;
    }
};

TEST_F(LambdaSimTest, Lc1ReadingsThroughGarbageAndTruncatedPackets) {
    auto sim = StartSim(LambdaKind::Lc1, 13.5, {.garbage = true, .truncated = true, .period = 3});
    auto reader = StartReader(*sim, "LC-1/2");
    ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() >= 3; }, 5000ms));
    const LambdaReading r = reader->Reading();
    EXPECT_NEAR(r.AFR, 13.5, 0.02);
    EXPECT_DOUBLE_EQ(r.stochiometric, 14.7);
    EXPECT_EQ(r.Message_LC1, GeneralText(r.AFR));
    EXPECT_TRUE(r.lc);
    EXPECT_LT(StopTime(*reader).count(), 50);
}

TEST_F(LambdaSimTest, Lc1ErrorPacketsClearTheReading) {
    auto sim = StartSim(LambdaKind::Lc1, 14.7, {.errorPackets = true, .errorCode = 9});
    auto reader = StartReader(*sim, "LC-1/2");
    ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() >= 2; }, 5000ms));
    const LambdaReading r = reader->Reading();
    EXPECT_EQ(r.Message_LC1, "Error  9");
    EXPECT_FALSE(r.lc);
    EXPECT_DOUBLE_EQ(r.AFR, 0.0);
}

TEST_F(LambdaSimTest, AemLinesAreReadAndLogged) {
    auto sim = StartSim(LambdaKind::Aem, 14.7, {});
    auto reader = StartReader(*sim, "AEM");
    ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() >= 3; }, 5000ms));
    EXPECT_LT(StopTime(*reader).count(), 50);
    EXPECT_DOUBLE_EQ(reader->AFR(), 14.7);
    EXPECT_TRUE(reader->lc);
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(reader->FramesRead()));
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.ends_with("   31 34 2E 37\r")) << line;
    }
}

TEST_F(LambdaSimTest, SilentControllerStopsWithin50ms) {
    for (auto [kind, sensor] : {std::pair{LambdaKind::Lc1, "LC-1/2"}, {LambdaKind::Aem, "AEM"}}) {
        auto sim = StartSim(kind, 14.7, {.silence = true});
        auto reader = StartReader(*sim, sensor);
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(reader->FramesRead(), 0);
        EXPECT_LT(StopTime(*reader).count(), 50);
    }
}

}  // namespace
}  // namespace veltrano
