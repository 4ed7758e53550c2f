#include "sim/ecu_services.h"

#include <gtest/gtest.h>

#include "sim/builtin_image.h"
#include "sim/live_blocks.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

class EcuServicesTest : public ::testing::Test {
  protected:
    EcuServicesTest() {
        state.memory = OwnEcuImage();
        state.calibrated = state.memory;
        state.config = ReadEcuConfig(state.memory);
        state.troubleCodes = {0x0130};
        state.strict = false;  // the session rules have a test of their own
    }
    EcuAnswer Ask(std::uint8_t service, const Bytes& data) {
        EcuRequest r;
        r.service = service;
        r.data = data;
        r.frame = Bytes(LinkRequestLength(data.size()), 0);
        return AnswerRequest(r, state, [] { return EngineState{}; });
    }
    static std::size_t LinkRequestLength(std::size_t dataBytes) { return 5 + dataBytes; }
    EcuState state;
};

// The link waits for echo plus answer; each answer must make up exactly its expected count.
TEST_F(EcuServicesTest, AnswerLengthsMatchTheCountsTheLinkWaitsFor) {
    struct Case {
        std::uint8_t service;
        Bytes data;
        std::size_t expected;  // echo + answer
    };
    const Case cases[] = {
        {0x81, {}, 12},           {0x82, {}, 10},
        {0x3E, {0x01}, 11},       {0x10, {0x81, 0x0A}, 13},
        {0x10, {0x81, 0x26}, 13}, {0x10, {0x81, 0x39}, 13},
        {0x20, {}, 10},           {0x21, {0x01}, 49},
        {0x21, {0x0F}, 64},       {0x30, {0x0F, 0x06, 0x01}, 16},
    };
    for (const Case& k : cases) {
        const EcuAnswer a = Ask(k.service, k.data);
        EXPECT_EQ(LinkRequestLength(k.data.size()) + a.frame.size(), k.expected)
            << "service " << int(k.service);
        EXPECT_EQ(a.frame.back(), SumOfBytes(a.frame.data(), a.frame.size() - 1));
        EXPECT_EQ(a.frame[1], 0xF1);
        EXPECT_EQ(a.frame[2], 0x10);
    }
}

TEST_F(EcuServicesTest, MemoryWriteAnswerFitsEighteenPlusSize) {
    for (std::size_t size : {1u, 36u, 64u}) {
        Bytes data{0x00, 0x7C, 0xF7, static_cast<std::uint8_t>(size)};
        data.resize(4 + size, 0x99);
        const EcuAnswer a = Ask(0x3D, data);
        const std::size_t echo = 6 + data.size();  // long header
        EXPECT_EQ(echo + a.frame.size(), 18 + size);
        EXPECT_EQ(a.frame[3], 0x7D);
    }
    EXPECT_EQ(state.memory[0x7CF7], 0x99);
    EXPECT_EQ(state.memory[0x7CF7 + 63], 0x99);
}

TEST_F(EcuServicesTest, SpeedFollowsTheSession) {
    EXPECT_EQ(Ask(0x10, {0x81, 0x26}).baudAfter, 38400);
    EXPECT_EQ(Ask(0x10, {0x81, 0x39}).baudAfter, 57600);
    EXPECT_FALSE(Ask(0x10, {0x81, 0x00}).baudAfter.has_value());
    EXPECT_TRUE(state.diagnosticSession);
    EXPECT_EQ(Ask(0x20, {}).baudAfter, 10400);
    EXPECT_FALSE(state.diagnosticSession);
}

TEST_F(EcuServicesTest, TroubleCodesReadThenClear) {
    EXPECT_EQ(Ask(0x18, {0, 0, 0}).frame,
              (Bytes{0x85, 0xF1, 0x10, 0x58, 0x01, 0x01, 0x30, 0xE0, 0xF0}));
    EXPECT_EQ(Ask(0x14, {0xFF, 0x00}).frame[3], 0x54);
    EXPECT_EQ(Ask(0x18, {0, 0, 0}).frame, (Bytes{0x82, 0xF1, 0x10, 0x58, 0x00, 0xDB}));
}

TEST_F(EcuServicesTest, RamWindowCodesAndOltSwitch) {
    EXPECT_EQ(Ask(0x30, {0x71, 0x00}).frame[3], 0x70);
    EXPECT_EQ(state.ramCode, 0);
    Ask(0x30, {0x71, 0x13});
    EXPECT_EQ(state.ramCode, 0x13);
    EXPECT_FALSE(state.oltMode);
    Ask(0x30, {0x0F, 0x06, 0x01});
    EXPECT_TRUE(state.oltMode);
}

TEST_F(EcuServicesTest, RefusesWhatItDoesNotKnow) {
    struct Case {
        std::uint8_t service;
        Bytes data;
        std::uint8_t code;
    };
    const Case cases[] = {
        {0x21, {0x02}, kOutOfRange},
        {0x27, {0x01}, kServiceNotSupported},
        {0x10, {0x85}, kFormatInvalid},
        {0x3D, {0x00, 0x5F, 0x00, 0x02, 0x01}, kFormatInvalid},  // size says 2, one byte
        {0x30, {0x55}, kOutOfRange},
    };
    for (const Case& k : cases) {
        const Bytes f = Ask(k.service, k.data).frame;
        ASSERT_EQ(f.size(), 7u);
        EXPECT_EQ(f[3], 0x7F);
        EXPECT_EQ(f[4], k.service);
        EXPECT_EQ(f[5], k.code);
    }
}

// A strict ECU keeps the session's order: silence before start communication, refusals of
// the session services before the diagnostic session, everything once it is open.
TEST_F(EcuServicesTest, StrictSessionRules) {
    state.strict = true;
    struct Case {
        std::uint8_t service;
        Bytes data;
        int before;   // answer byte before 0x81: -1 none
        int talking;  // after 0x81, before 0x10
        int session;  // inside the diagnostic session
    };
    const Case cases[] = {
        {0x21, {0x01}, -1, 0x7F, 0x61},
        {0x3D, {0x00, 0x5F, 0x00, 0x01, 0x07}, -1, 0x7F, 0x7D},
        {0x30, {0x71, 0x04}, -1, 0x7F, 0x70},
        {0x18, {0, 0, 0}, -1, 0x7F, 0x58},
        {0x14, {0xFF, 0x00}, -1, 0x7F, 0x54},
        {0x3E, {0x01}, -1, 0x7E, 0x7E},
        {0x10, {0x81, 0x0A}, -1, 0x50, 0x50},
    };
    auto answerByte = [&](const Case& k) {
        const Bytes f = Ask(k.service, k.data).frame;
        return f.empty() ? -1 : int(f[f[0] == 0x80 ? 4 : 3]);
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.service));
        state.communicating = state.diagnosticSession = false;
        EXPECT_EQ(answerByte(k), k.before);
        ASSERT_EQ(Ask(0x81, {}).frame[3], 0xC1);
        EXPECT_EQ(answerByte(k), k.talking);
        if (k.talking == 0x7F) {
            EXPECT_EQ(Ask(k.service, k.data).frame[5], kNotInActiveSession);
        }
        ASSERT_EQ(Ask(0x10, {0x81, 0x0A}).frame[3], 0x50);
        EXPECT_EQ(answerByte(k), k.session);
    }
}

TEST_F(EcuServicesTest, WriteConfirmationForms) {
    const Bytes write = {0x00, 0x5F, 0x10, 0x01, 0x07};
    EXPECT_EQ(Ask(0x3D, write).frame, (Bytes{0x84, 0xF1, 0x10, 0x7D, 0x00, 0x5F, 0x10, 0x71}));
    state.bareWriteAnswer = true;
    EXPECT_EQ(Ask(0x3D, write).frame, (Bytes{0x81, 0xF1, 0x10, 0x7D, 0xFF}));
}

}  // namespace
}  // namespace veltrano
