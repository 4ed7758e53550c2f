#include "lambda/aem_frame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace veltrano {
namespace {

std::array<std::uint8_t, 4> Chars(const char* four) {
    std::array<std::uint8_t, 4> a{};
    std::memcpy(a.data(), four, 4);
    return a;
}

struct AemCase {
    const char* name;
    const char* text;
    double earlier;
    double afr;
    bool lc;
};

class AemTextTest : public ::testing::TestWithParam<std::tuple<AemCase, char>> {};

TEST_P(AemTextTest, Converts) {
    const auto& [c, sep] = GetParam();
    LambdaReading r{c.earlier, 0.0, "", !c.lc};
    ApplyAemText(Chars(c.text), r, sep);
    EXPECT_DOUBLE_EQ(r.AFR, c.afr);
    EXPECT_EQ(r.lc, c.lc);
    EXPECT_DOUBLE_EQ(r.stochiometric, 0.0);
    EXPECT_EQ(r.Message_LC1, "");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AemTextTest,
    ::testing::Combine(
        ::testing::Values(AemCase{"Stoich", "14.7", 0.0, 14.7, true},
                          AemCase{"RichBelow10", "9.85", 14.0, 9.85, false},
                          AemCase{"LeanNotClamped", "22.0", 14.0, 22.0, false},
                          AemCase{"LowerBoundIncluded", "10.0", 0.0, 10.0, true},
                          AemCase{"UpperBoundIncluded", "20.0", 0.0, 20.0, true},
                          AemCase{"JustAboveUpper", "20.1", 14.0, 20.1, false},
                          AemCase{"NoNumberKeepsEarlierInRange", "-.--", 14.2, 14.2, true},
                          AemCase{"NoNumberKeepsEarlierOutOfRange", "LEAN", 25.0, 25.0, false},
                          AemCase{"TwoPointsIsNoNumber", "1..4", 12.0, 12.0, true}),
        ::testing::Values(',', '.')),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == ',' ? "Comma" : "Point");
    });

TEST(AemLogLine, TimeThreeBlanksAndHexBytes) {
    std::tm t{};
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(AemLogLine(t, Chars("14.7")), "9:05:03   31 34 2E 37");
    t.tm_hour = 23;
    EXPECT_EQ(AemLogLine(t, Chars("\xFF\x00\x0a\x7f")), "23:05:03   FF 00 0A 7F");
}

}  // namespace
}  // namespace veltrano
