// Creation, exit request, stop and destruction of the reader over a pseudo-terminal.
#include <gtest/gtest.h>

#include "lambda/lc_threat.h"
#include "tests/lambda/reader_fixture.h"

namespace veltrano {
namespace {

using namespace lambda_test;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const Bytes kLc1Packet = {0xB2, 0x82, 0x43, 0x13, 0x03, 0x74, 0xB2};
const Bytes kAemLine = {'\r', '\n', '1', '4', '.', '7', '\r'};

struct StopCase {
    const char* name;
    const char* sensor;
    Bytes before;  // what the controller sent before it fell silent
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

class StopTest : public LambdaPtyTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, ReturnsWithin50msOnASilentPort) {
    auto reader = Start(GetParam().sensor);
    ASSERT_TRUE(LcRunning);
    ASSERT_TRUE(pty.Write(GetParam().before));
    std::this_thread::sleep_for(30ms);
    EXPECT_LT(StopTime(*reader).count(), 50);
    EXPECT_FALSE(LcRunning);
    EXPECT_FALSE(reader->Running());
    EXPECT_FALSE(reader->PortOpen());
    EXPECT_FALSE(reader->Reading().lc);
}

INSTANTIATE_TEST_SUITE_P(Sensors, StopTest,
                         ::testing::Values(StopCase{"Lc1Silent", "LC-1/2", {}},
                                           StopCase{"Lc1InsideHeader", "LC-1/2", {0xB2}},
                                           StopCase{
                                               "Lc1InsidePacket", "LC-1/2", {0xB2, 0x82, 0x43}},
                                           StopCase{"AemSilent", "AEM", {}},
                                           StopCase{"AemInsideLine", "AEM", {'\r', '\n', '1'}}),
                         [](const auto& info) { return std::string(info.param.name); });

class ExitRequestTest : public LambdaPtyTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(ExitRequestTest, ReaderTakesNoFrameAndStillStops) {
    auto reader = Start(GetParam().sensor);
    ASSERT_TRUE(pty.Write(GetParam().before));
    ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() == 1; }));
    reader->ExitReadPort = true;
    std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(pty.Write(GetParam().before));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(reader->FramesRead(), 1);
    EXPECT_TRUE(reader->Running());
    EXPECT_LT(StopTime(*reader).count(), 50);
}

INSTANTIATE_TEST_SUITE_P(Sensors, ExitRequestTest,
                         ::testing::Values(StopCase{"Lc1", "LC-1/2", kLc1Packet},
                                           StopCase{"Aem", "AEM", kAemLine}),
                         [](const auto& info) { return std::string(info.param.name); });

class UnknownSensorTest : public LambdaPtyTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(UnknownSensorTest, NeitherDecoderAndThePortStaysFree) {
    auto reader = TLcThreat::Create(pty.Device(), GetParam(), LcOptions{logDir, {}});
    EXPECT_FALSE(reader->AEM);
    EXPECT_FALSE(reader->LC_1);
    EXPECT_FALSE(reader->Running());
    EXPECT_FALSE(reader->PortOpen());
    EXPECT_FALSE(LcRunning);

    auto right = Start("LC-1/2");
    ASSERT_TRUE(pty.Write(kLc1Packet));
    ASSERT_TRUE(WaitFor([&] { return right->FramesRead() == 1; }));
    EXPECT_EQ(reader->Reading().Message_LC1, "");
    right->stop();
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownSensorTest,
                         ::testing::Values("LC_1", "lc-1/2", "aem", "LC-1/2 ", ""));

TEST_F(LambdaPtyTest, MissingPortNeverRunsAndLeavesLcRunningAsItWas) {
    for (bool before : {false, true}) {
        LcRunning = before;
        auto reader = TLcThreat::Create("/dev/veltrano-no-such-port", "LC-1/2");
        EXPECT_TRUE(reader->LC_1);
        EXPECT_FALSE(reader->Running());
        EXPECT_FALSE(reader->PortOpen());
        EXPECT_EQ(LcRunning, before);
    }
}

// A line that opens but refuses the speed, or whose receive queue has failed.
class FaultyLine final : public SerialLine {
  public:
    FaultyLine(bool takesLine, std::atomic<int>* polls) : takesLine_(takesLine), polls_(polls) {}
    bool Open(const std::string&) override { return open_ = true; }
    bool SetLine(int) override { return takesLine_; }
    void Purge() override {}
    long Write(const std::uint8_t*, std::size_t) override { return -1; }
    long Waiting() override {
        ++*polls_;
        return -1;
    }
    long Read(std::uint8_t*, std::size_t) override { return -1; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }

  private:
    bool takesLine_;
    std::atomic<int>* polls_;
    bool open_ = false;
};

TEST(LambdaFaultyLine, RefusedLineSettingsCloseThePortAndNeverRun) {
    LcRunning = false;
    std::atomic<int> polls{0};
    auto reader = TLcThreat::Create(
        "COM2", "AEM", LcOptions{{}, [&] { return std::make_unique<FaultyLine>(false, &polls); }});
    EXPECT_FALSE(reader->Running());
    EXPECT_FALSE(reader->PortOpen());
    EXPECT_FALSE(LcRunning);
}

TEST(LambdaFaultyLine, FailedQueueGivesNoReadingAndStopStillReturns) {
    for (const char* sensor : {"LC-1/2", "AEM"}) {
        std::atomic<int> polls{0};
        auto reader = TLcThreat::Create(
            "COM2", sensor,
            LcOptions{{}, [&] { return std::make_unique<FaultyLine>(true, &polls); }});
        ASSERT_TRUE(reader->Running());
        ASSERT_TRUE(WaitFor([&] { return polls > 5; }));
        EXPECT_LT(StopTime(*reader).count(), 50);
        EXPECT_EQ(reader->FramesRead(), 0);
        EXPECT_FALSE(reader->Reading().lc);
        EXPECT_FALSE(LcRunning);
    }
}

TEST_F(LambdaPtyTest, UnwritableLogSkipsTheLineButKeepsReading) {
    auto reader = TLcThreat::Create(pty.Device(), "AEM", LcOptions{logDir / "missing", {}});
    ASSERT_TRUE(reader->Running());
    for (long frame = 1; frame <= 2; ++frame) {
        ASSERT_TRUE(pty.Write(kAemLine));
        ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() == frame; }));
    }
    EXPECT_EQ(reader->AemLogFailures(), 2);
    EXPECT_TRUE(reader->Running());
    EXPECT_TRUE(LcRunning);
    EXPECT_DOUBLE_EQ(reader->AFR(), 14.7);
    EXPECT_LT(StopTime(*reader).count(), 50);
}

TEST_F(LambdaPtyTest, TakeReadingHandsOverEachReadingOnce) {
    auto reader = Start("LC-1/2");
    EXPECT_FALSE(reader->TakeReading());
    ASSERT_TRUE(pty.Write(kLc1Packet));
    ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() == 1; }));
    EXPECT_TRUE(reader->lc);
    const auto taken = reader->TakeReading();
    ASSERT_TRUE(taken);
    EXPECT_DOUBLE_EQ(taken->AFR, 14.7);
    EXPECT_DOUBLE_EQ(taken->stochiometric, 14.7);
    EXPECT_EQ(taken->Message_LC1, "14,7");
    EXPECT_FALSE(reader->lc);
    EXPECT_FALSE(reader->TakeReading());
    EXPECT_DOUBLE_EQ(reader->AFR(), 14.7);
    EXPECT_EQ(reader->Message_LC1(), "14,7");
    reader->stop();
}

TEST_F(LambdaPtyTest, DestroyingARunningReaderEndsItsThreadPromptly) {
    auto reader = Start("AEM");
    std::this_thread::sleep_for(10ms);
    const auto start = Clock::now();
    reader.reset();
    EXPECT_LT(Clock::now() - start, 50ms);
    // The next reader can take the port.
    auto next = Start("AEM");
    next->stop();
}

}  // namespace
}  // namespace veltrano
