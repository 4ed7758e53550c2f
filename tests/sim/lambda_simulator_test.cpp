#include "sim/lambda_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/lambda_frames.h"
#include "tests/sim/pty_client.h"

namespace veltrano {
namespace {

using testing::Bytes;
using testing::PtyClient;

TEST(LambdaFrames, Lc1PacketForStoichiometric) {
    EXPECT_EQ(Lc1ValueForAfr(14.7), 500);
    EXPECT_EQ(Lc1Packet(0, 147, 500), (Bytes{0xB2, 0x82, 0x43, 0x13, 0x03, 0x74}));
}

TEST(LambdaFrames, Lc1FieldsAndValueLimits) {
    struct Case {
        int function, multiplier, value;
        Bytes data;
    };
    const Case cases[] = {
        {6, 147, 9, {0x5B, 0x13, 0x00, 0x09}},
        {4, 147, 0, {0x53, 0x13, 0x00, 0x00}},
        {0, 100, 16383, {0x42, 0x64, 0x7F, 0x7F}},
    };
    for (const Case& k : cases) {
        const Bytes p = Lc1Packet(k.function, k.multiplier, k.value);
        EXPECT_EQ(Bytes(p.begin() + 2, p.end()), k.data) << k.function;
    }
    EXPECT_EQ(Lc1ValueForAfr(5.0), 0);
    EXPECT_EQ(Lc1ValueForAfr(400.0), 16383);
    EXPECT_EQ(Lc1ValueForAfr(7.35), 0);  // lambda 0.5
}

TEST(LambdaFrames, AemLinesHaveFourCharacters) {
    EXPECT_EQ(AemLine(14.7), "14.7\r\n");
    EXPECT_EQ(AemLine(9.85), "9.85\r\n");
    EXPECT_EQ(AemLine(22.0), "22.0\r\n");
    EXPECT_EQ(AemLine(9.999), "10.0\r\n");
}

std::size_t Count(const Bytes& stream, const Bytes& packet) {
    std::size_t n = 0;
    for (auto it = stream.begin();
         (it = std::search(it, stream.end(), packet.begin(), packet.end())) != stream.end(); ++it) {
        ++n;
    }
    return n;
}

Bytes Stream(LambdaKind kind, const LambdaFaults& faults, int ms) {
    LambdaSimOptions o;
    o.kind = kind;
    o.afrSource = [] { return 14.7; };
    LambdaSimulator sim(o);
    sim.SetFaults(faults);
    EXPECT_TRUE(sim.Start());
    PtyClient client(sim.DevicePath());
    const Bytes bytes = client.ReceiveFor(ms);
    EXPECT_GT(sim.FramesSent(), 0);
    return bytes;
}

TEST(LambdaSimulator, Lc1StreamAtItsRate) {
    const Bytes s = Stream(LambdaKind::Lc1, {}, 1000);
    const std::size_t packets = Count(s, Lc1Packet(0, 147, 500));
    EXPECT_GE(packets, 10u);  // one every 81.92 ms
    EXPECT_LE(packets, 14u);
    EXPECT_EQ(s.size(), packets * 6);
}

TEST(LambdaSimulator, AemLinesAtTheirRate) {
    const Bytes s = Stream(LambdaKind::Aem, {}, 1000);
    const std::string text(s.begin(), s.end());
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("14.7\r\n", at)) != std::string::npos; ++at) {
        ++lines;
    }
    EXPECT_GE(lines, 8u);
    EXPECT_LE(lines, 12u);
}

TEST(LambdaSimulator, FaultsShapeTheStream) {
    LambdaFaults error;
    error.errorPackets = true;
    error.period = 2;
    const Bytes e = Stream(LambdaKind::Lc1, error, 500);
    EXPECT_GE(Count(e, Lc1Packet(6, 147, 9)), 2u);
    EXPECT_GE(Count(e, Lc1Packet(0, 147, 500)), 2u);

    LambdaFaults silent;
    silent.silence = true;
    LambdaSimOptions o;
    LambdaSimulator quiet(o);
    quiet.SetFaults(silent);
    ASSERT_TRUE(quiet.Start());
    PtyClient client(quiet.DevicePath());
    EXPECT_TRUE(client.ReceiveFor(300).empty());
    EXPECT_EQ(quiet.FramesSent(), 0);

    LambdaFaults garbage;
    garbage.garbage = true;
    garbage.truncated = true;
    const Bytes g = Stream(LambdaKind::Lc1, garbage, 500);
    EXPECT_EQ(Count(g, Lc1Packet(0, 147, 500)), 0u) << "every packet cut and followed by junk";
    EXPECT_EQ(static_cast<std::size_t>(std::count(g.begin(), g.end(), 0xB2)),
              Count(g, {0xB2, 0x82}))
        << "junk never holds a header byte";
    EXPECT_GE(Count(g, {0xB2, 0x82}), 4u);
}

}  // namespace
}  // namespace veltrano
