#include "link/framing.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct FrameCase {
    const char* name;
    std::uint8_t service;
    Bytes data;
    std::uint8_t length_byte;
    Bytes frame;
    int expected;
};

TEST(Framing, RequestFramesAndExpectedCounts) {
    const FrameCase cases[] = {
        {"start communication", 0x81, {}, 0, {0x81, 0x10, 0xF1, 0x81, 0x03}, 12},
        {"stop communication", 0x82, {}, 0, {0x81, 0x10, 0xF1, 0x82, 0x04}, 10},
        {"tester present", 0x3E, {0x01}, 0, {0x82, 0x10, 0xF1, 0x3E, 0x01, 0xC2}, 11},
        {"live data 01", 0x21, {0x01}, 0, {0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}, 49},
        {"live data 0F", 0x21, {0x0F}, 0, {0x82, 0x10, 0xF1, 0x21, 0x0F, 0xB3}, 64},
        {"session 38400", 0x10, {0x81, 0x26}, 0, {0x83, 0x10, 0xF1, 0x10, 0x81, 0x26, 0x3B}, 13},
        {"session 57600", 0x10, {0x81, 0x39}, 0, {0x83, 0x10, 0xF1, 0x10, 0x81, 0x39, 0x4E}, 13},
        {"session 10400", 0x10, {0x81, 0x0A}, 0, {0x83, 0x10, 0xF1, 0x10, 0x81, 0x0A, 0x1F}, 13},
        {"session other speed",
         0x10,
         {0x81, 0x00},
         0,
         {0x83, 0x10, 0xF1, 0x10, 0x81, 0x00, 0x15},
         -7},
        {"stop session", 0x20, {}, 0, {0x81, 0x10, 0xF1, 0x20, 0xA2}, 10},
        {"switch to RAM",
         0x30,
         {0x0F, 0x06, 0x01},
         0,
         {0x84, 0x10, 0xF1, 0x30, 0x0F, 0x06, 0x01, 0xCB},
         16},
        {"release RAM", 0x30, {0x71, 0x00}, 0, {0x83, 0x10, 0xF1, 0x30, 0x71, 0x00, 0x25}, 14},
        {"capture RAM", 0x30, {0x71, 0x04}, 0, {0x83, 0x10, 0xF1, 0x30, 0x71, 0x04, 0x29}, 14},
        {"clear errors", 0x14, {0xFF, 0x00}, 0, {0x83, 0x10, 0xF1, 0x14, 0xFF, 0x00, 0x97}, -7},
        {"read errors", 0x18, {0, 0, 0}, 0, {0x84, 0x10, 0xF1, 0x18, 0, 0, 0, 0x9D}, -7},
        {"long write of 2",
         0x3D,
         {0x00, 0x71, 0xD8, 0x02, 0xAA, 0x55},
         7,
         {0x80, 0x10, 0xF1, 0x07, 0x3D, 0x00, 0x71, 0xD8, 0x02, 0xAA, 0x55, 0x0F},
         20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildRequest(0x10, 0xF1, c.service, c.data, c.length_byte), c.frame);
        // -7 marks requests without an entry of their own: the previous count stays.
        const int want = c.expected == -7 ? 1234 : c.expected;
        EXPECT_EQ(ExpectedCount(c.service, c.data, c.length_byte, 1234), want);
    }
}

TEST(Framing, MemoryWriteOf64BytesUsesTheLongHeader) {
    Bytes data = {0x00, 0x7C, 0xF7, 0x40};
    for (int i = 0; i < 64; ++i)
        data.push_back(static_cast<std::uint8_t>(i));
    const Bytes frame = BuildRequest(0x10, 0xF1, 0x3D, data, 0x45);
    ASSERT_EQ(frame.size(), 74u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 5), (Bytes{0x80, 0x10, 0xF1, 0x45, 0x3D}));
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i)
        sum += frame[i];
    EXPECT_EQ(frame.back(), static_cast<std::uint8_t>(sum));
    EXPECT_EQ(ExpectedCount(0x3D, data, 0x45, 0), 82);
}

TEST(Framing, ChecksumCheck) {
    EXPECT_TRUE(CheckCRC(Bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
    EXPECT_FALSE(CheckCRC(Bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC4}));
    EXPECT_FALSE(CheckCRC(Bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC2}));
    EXPECT_FALSE(CheckCRC(Bytes{}));
    EXPECT_TRUE(CheckCRC(Bytes{0x00}));  // the sum of nothing is 0
    EXPECT_EQ(CalcCRC(Bytes{0xFF, 0x02}), 0x01);
}

struct EchoCase {
    const char* name;
    Bytes frame;
    Bytes received;
    Bytes answer;
};

TEST(Framing, EchoRemoval) {
    const Bytes start = {0x81, 0x10, 0xF1, 0x81, 0x03};
    const Bytes ans = {0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};
    Bytes echoed = start;
    echoed.insert(echoed.end(), ans.begin(), ans.end());
    const EchoCase cases[] = {
        {"echo then answer", start, echoed, ans},
        {"echo only", start, start, {}},
        {"nothing", start, {}, {}},
        {"no echo", start, ans, ans},
        {"partial echo", start, {0x81, 0x10, 0xF1}, {0x81, 0x10, 0xF1}},
        {"differing echo",
         start,
         {0x81, 0x10, 0xF0, 0x81, 0x03, 0x01},
         {0x81, 0x10, 0xF0, 0x81, 0x03, 0x01}},
        // A frame whose checksum is 0x00 is not matched by an echo that lacks it.
        {"partial echo of a frame ending in 00",
         {0x80, 0x10, 0x70, 0x00},
         {0x80, 0x10, 0x70},
         {0x80, 0x10, 0x70}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> out(2048, 0);
        const std::size_t n = DeleteEcho(c.frame, c.received, out);
        EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<long>(n)), c.answer);
    }
}

TEST(Framing, AnswerForms) {
    const Bytes short_form = {0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};
    AnswerParts p = SplitAnswer(short_form);
    EXPECT_FALSE(p.long_form);
    EXPECT_EQ(p.service, 0xC1);
    EXPECT_EQ(Bytes(p.payload.begin(), p.payload.end()), (Bytes{0xEF, 0x8F}));

    // The length byte of the long form is ignored.
    const Bytes long_form = {0x80, 0xF1, 0x10, 0x99, 0x61, 0x01, 0x02, 0x00};
    p = SplitAnswer(long_form);
    EXPECT_TRUE(p.long_form);
    EXPECT_EQ(p.service, 0x61);
    EXPECT_EQ(Bytes(p.payload.begin(), p.payload.end()), (Bytes{0x01, 0x02}));

    // Too short for a service byte: reads as 0, no payload.
    p = SplitAnswer(Bytes{0x01, 0xF1, 0xF2});
    EXPECT_EQ(p.service, 0x00);
    EXPECT_TRUE(p.payload.empty());
}

}  // namespace
}  // namespace veltrano
