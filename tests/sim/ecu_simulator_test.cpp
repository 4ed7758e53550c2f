#include "sim/ecu_simulator.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include "sim/lambda_frames.h"
#include "sim/lambda_simulator.h"
#include "tests/sim/pty_client.h"

namespace veltrano {
namespace {

using testing::Bytes;
using testing::PtyClient;
using testing::Request;
using testing::WriteRequest;
using Clock = std::chrono::steady_clock;

const Bytes kStart = Request(0x81);  // 81 10 F1 81 03
const Bytes kStartAnswer{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class EcuSimulatorTest : public ::testing::Test {
  protected:
    void StartSim(bool wireTiming = false, int delayMs = 0) {
        EcuSimOptions o;
        o.wireTiming = wireTiming;
        o.answerDelayMs = delayMs;
        o.lenient = true;  // the client talks raw frames at the pty's own speed
        sim = std::make_unique<EcuSimulator>(o);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
        client = std::make_unique<PtyClient>(sim->DevicePath());
        ASSERT_TRUE(client->IsOpen());
    }
    std::unique_ptr<EcuSimulator> sim;
    std::unique_ptr<PtyClient> client;
};

TEST_F(EcuSimulatorTest, EchoesThenAnswers) {
    StartSim();
    EXPECT_EQ(client->Exchange(kStart, 12), Concat(kStart, kStartAnswer));
    EXPECT_TRUE(sim->Status().communicating);
    // A stray byte is echoed and otherwise ignored.
    EXPECT_EQ(client->Exchange({0x00}, 1), Bytes{0x00});
    EXPECT_TRUE(client->ReceiveFor(50).empty());
}

TEST_F(EcuSimulatorTest, LiveDataBlocksHaveTheirLengths) {
    StartSim();
    const Bytes b1 = client->Exchange(Request(0x21, {0x01}), 49);
    ASSERT_EQ(b1.size(), 49u);
    EXPECT_EQ(b1[6], 0x80);
    EXPECT_EQ(b1[10], 0x61);
    EXPECT_EQ(b1[11], 0x01);
    EXPECT_EQ(client->Exchange(Request(0x21, {0x0F}), 64).size(), 64u);
    EXPECT_TRUE(client->ReceiveFor(50).empty());
}

TEST_F(EcuSimulatorTest, MemoryWriteLandsAndIsDumped) {
    StartSim();
    Bytes table(64);
    for (int i = 0; i < 64; ++i) {
        table[i] = static_cast<std::uint8_t>(i + 1);
    }
    const Bytes request = WriteRequest(0x7CF7, table);
    const Bytes got = client->Exchange(request, request.size() + 8);
    ASSERT_EQ(got.size(), request.size() + 8);
    EXPECT_EQ(Bytes(got.begin() + request.size(), got.end()),
              (Bytes{0x84, 0xF1, 0x10, 0x7D, 0x00, 0x7C, 0xF7, 0x75}));
    EXPECT_EQ(sim->ReadMemory(0x7CF7, 64), table);

    const std::string path = ::testing::TempDir() + "sim_dump.bin";
    ASSERT_TRUE(sim->DumpMemory(path));
    std::ifstream in(path, std::ios::binary);
    const Bytes dumped{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(dumped.size(), 65536u);
    EXPECT_EQ(Bytes(dumped.begin() + 0x7CF7, dumped.begin() + 0x7CF7 + 64), table);
}

TEST_F(EcuSimulatorTest, AnswerFaults) {
    StartSim();
    struct Case {
        const char* what;
        EcuFaults faults;
        Bytes expected;  // after the request is sent, within the wait
    };
    EcuFaults noEcho, corrupt, negative, extra, drop;
    noEcho.noEcho = true;
    corrupt.corruptChecksum = true;
    negative.negativeCode = 0x22;
    extra.extraBytes = 2;
    drop.dropNext = 1;
    Bytes corrupted = kStartAnswer;
    corrupted.back() = 0xC4;
    const Case cases[] = {
        {"no echo", noEcho, kStartAnswer},
        {"corrupt checksum", corrupt, Concat(kStart, corrupted)},
        {"negative", negative, Concat(kStart, {0x83, 0xF1, 0x10, 0x7F, 0x81, 0x22, 0xA6})},
        {"extra bytes", extra, Concat(Concat(kStart, kStartAnswer), {0x55, 0x56})},
        {"drop once", drop, kStart},
    };
    for (const Case& k : cases) {
        sim->SetFaults(k.faults);
        client->Send(kStart);
        EXPECT_EQ(client->ReceiveFor(300), k.expected) << k.what;
    }
    sim->SetFaults({});
    EXPECT_EQ(client->Exchange(kStart, 12), Concat(kStart, kStartAnswer)) << "drop once resumes";
}

TEST_F(EcuSimulatorTest, FaultsLimitedToOneServiceAndStopAfter) {
    StartSim();
    EcuFaults refuseClear;
    refuseClear.negativeCode = 0x22;
    refuseClear.onlyService = 0x14;
    sim->SetFaults(refuseClear);
    const Bytes clear = Request(0x14, {0xFF, 0x00});
    EXPECT_EQ(client->Exchange(clear, clear.size() + 7),
              Concat(clear, {0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22, 0x39}));
    EXPECT_EQ(sim->Status().troubleCodes.size(), 2u) << "a refused clear keeps the codes";
    EXPECT_EQ(client->Exchange(kStart, 12), Concat(kStart, kStartAnswer));

    EcuFaults stop;
    stop.stopAfter = 1;
    sim->SetFaults(stop);
    EXPECT_EQ(client->Exchange(kStart, 12), Concat(kStart, kStartAnswer));
    client->Send(kStart);
    EXPECT_EQ(client->ReceiveFor(300), kStart) << "only the echo after the limit";
}

TEST_F(EcuSimulatorTest, SplitAnswerArrivesInTwoParts) {
    StartSim();
    EcuFaults split;
    split.splitAnswer = true;
    split.splitGapMs = 80;
    sim->SetFaults(split);
    client->Send(kStart);
    const Bytes first = client->Receive(8);
    const auto firstAt = Clock::now();
    EXPECT_EQ(first, Concat(kStart, {0x83, 0xF1, 0x10}));
    EXPECT_EQ(client->Receive(4), (Bytes{0xC1, 0xEF, 0x8F, 0xC3}));
    EXPECT_GE(Clock::now() - firstAt, std::chrono::milliseconds(50));
}

// With wire timing the echo and answer take their time on the line, plus the answer delay.
TEST_F(EcuSimulatorTest, WireTimingPacesAtTheNegotiatedSpeed) {
    StartSim(true, 20);
    auto timed = [this](const Bytes& request, std::size_t expected) {
        const auto t0 = Clock::now();
        const Bytes got = client->Exchange(request, expected, 2000);
        EXPECT_EQ(got.size(), expected);
        return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    };
    const double slow = timed(kStart, 12);  // 12 bytes at 10400: 11.5 ms + 20 ms
    EXPECT_GE(slow, 31.0);
    EXPECT_LT(slow, 150.0);  // generous: a busy machine wakes late
    timed(Request(0x10, {0x81, 0x39}), 13);
    EXPECT_EQ(sim->Status().lineBaud, 57600);
    const double fast = timed(Request(0x21, {0x01}), 49);  // 49 bytes at 57600: 8.5 ms + 20 ms
    EXPECT_GE(fast, 28.0);
    EXPECT_LT(fast, 150.0);
    timed(Request(0x20), 10);
    EXPECT_EQ(sim->Status().lineBaud, 10400);
}

TEST_F(EcuSimulatorTest, RecordsRequestsAndStopsCleanly) {
    StartSim();
    client->Exchange(kStart, 12);
    client->Exchange(Request(0x30, {0x71, 0x04}), 14);
    ASSERT_TRUE(sim->WaitForRequests(2, std::chrono::milliseconds(500)));
    const auto requests = sim->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], Request(0x30, {0x71, 0x04}));
    EXPECT_EQ(sim->Status().ramCode, 0x04);
    sim->Stop();
    sim->Stop();
    EXPECT_TRUE(sim->DevicePath().empty());
}

TEST_F(EcuSimulatorTest, SilenceEndsTheSession) {
    EcuSimOptions o;
    o.wireTiming = false;
    o.answerDelayMs = 0;
    o.sessionTimeoutMs = 100;
    o.lenient = true;
    sim = std::make_unique<EcuSimulator>(o);
    ASSERT_TRUE(sim->Start());
    client = std::make_unique<PtyClient>(sim->DevicePath());
    client->Exchange(kStart, 12);
    client->Exchange(Request(0x10, {0x81, 0x26}), 13);
    EXPECT_EQ(sim->Status().lineBaud, 38400);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const EcuStatus s = sim->Status();
    EXPECT_FALSE(s.communicating);
    EXPECT_EQ(s.lineBaud, 10400);
}

// The wideband reads the engine's measured mixture: 10 % more air than calibrated.
TEST_F(EcuSimulatorTest, WidebandFollowsTheMeasuredMixture) {
    StartSim();
    sim->HoldOperatingPoint(OperatingPoint{3000.0, 20.0, 70.0, 60.0});
    sim->SetCoolant(90.0);
    sim->SetTrueVeErrorPercent(10.0);
    const EcuStatus s = sim->Status();
    EXPECT_NEAR(s.measuredAfr / s.targetAfr, 1.10, 0.02);
    LambdaSimOptions lo;
    lo.wireTiming = false;
    lo.afrSource = [this] { return sim->MeasuredAfr(); };
    LambdaSimulator lambda(lo);
    ASSERT_TRUE(lambda.Start());
    PtyClient reader(lambda.DevicePath());
    const Bytes stream = reader.ReceiveFor(300);
    const Bytes expected = Lc1Packet(0, 147, Lc1ValueForAfr(s.measuredAfr));
    EXPECT_NE(std::search(stream.begin(), stream.end(), expected.begin(), expected.end()),
              stream.end());
}

// A pty, unlike a real port, stays exclusive after its user closed it; the simulator clears
// that so the tool can connect again.
TEST_F(EcuSimulatorTest, ExclusiveUseEndsWithTheUser) {
    StartSim();
    {
        const int fd = open(sim->DevicePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
        int exclusive = 0;
        ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1);
        close(fd);
    }
    int exclusive = 1;
    for (int i = 0; i < 100 && exclusive != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const int fd = open(sim->DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ioctl(fd, TIOCGEXCL, &exclusive);
        close(fd);
    }
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(client->Exchange(kStart, 12), Concat(kStart, kStartAnswer));
}

}  // namespace
}  // namespace veltrano
