#include "sim/ecu_frame.h"

#include <gtest/gtest.h>

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<EcuRequest> FeedAll(RequestCollector& c, const Bytes& bytes) {
    std::vector<EcuRequest> out;
    for (auto b : bytes) {
        if (auto r = c.Feed(b)) {
            out.push_back(*r);
        }
    }
    return out;
}

TEST(EcuFrame, AnswersCarryHeaderAndSum) {
    EXPECT_EQ(BuildAnswer(0xC1, {0xEF, 0x8F}), (Bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3}));
    EXPECT_EQ(BuildAnswer(0x7E, {}), (Bytes{0x81, 0xF1, 0x10, 0x7E, 0x00}));
    EXPECT_EQ(BuildNegativeAnswer(0x14, 0x22), (Bytes{0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22, 0x39}));
}

TEST(EcuFrame, LongFormWhenAskedOrTooLong) {
    const Bytes forced = BuildAnswer(0x61, {0x01, 0x02}, true);
    EXPECT_EQ(forced, (Bytes{0x80, 0xF1, 0x10, 0x03, 0x61, 0x01, 0x02, 0xE8}));
    const Bytes big = BuildAnswer(0x58, Bytes(63, 0x00));
    ASSERT_EQ(big.size(), 4u + 1 + 63 + 1);
    EXPECT_EQ(big[0], 0x80);
    EXPECT_EQ(big[3], 64);
    EXPECT_EQ(big.back(), SumOfBytes(big.data(), big.size() - 1));
}

TEST(EcuFrame, CollectsShortAndLongRequestsAmidJunk) {
    RequestCollector c;
    // A stray 0x00 (the adapter check), then start communication, then a long-header write.
    const Bytes stream{0x00, 0x81, 0x10, 0xF1, 0x81, 0x03, 0x80, 0x10, 0xF1,
                       0x06, 0x3D, 0x00, 0x5F, 0x00, 0x01, 0xAA, 0xCE};
    const auto requests = FeedAll(c, stream);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].service, 0x81);
    EXPECT_TRUE(requests[0].data.empty());
    EXPECT_EQ(requests[1].service, 0x3D);
    EXPECT_EQ(requests[1].data, (Bytes{0x00, 0x5F, 0x00, 0x01, 0xAA}));
    EXPECT_EQ(c.Rejected(), 0);
}

TEST(EcuFrame, DropsBadChecksumAndWrongAddress) {
    struct Case {
        const char* what;
        Bytes frame;
    };
    const Case cases[] = {
        {"sum off by one", {0x81, 0x10, 0xF1, 0x81, 0x04}},
        {"other target", {0x81, 0x11, 0xF1, 0x81, 0x04}},
        {"other source", {0x81, 0x10, 0xF0, 0x81, 0x02}},
    };
    for (const Case& k : cases) {
        RequestCollector c;
        EXPECT_TRUE(FeedAll(c, k.frame).empty()) << k.what;
        EXPECT_EQ(c.Rejected(), 1) << k.what;
        EXPECT_EQ(FeedAll(c, {0x81, 0x10, 0xF1, 0x81, 0x03}).size(), 1u) << k.what;
    }
}

}  // namespace
}  // namespace veltrano
