#include "lambda/lc1_decode.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace veltrano {
namespace {

struct Lc1Case {
    const char* name;
    std::array<std::uint8_t, 4> data;
    bool changed;
    double afr;
    double stoich;
    std::string message;
    bool lc;
};

// Every case starts from this earlier reading so that untouched fields show.
LambdaReading Earlier() {
    return LambdaReading{13.3, 14.5, "13,3", true};
}

class Lc1DecodeTest : public ::testing::TestWithParam<Lc1Case> {};

TEST_P(Lc1DecodeTest, Decodes) {
    const Lc1Case& c = GetParam();
    LambdaReading r = Earlier();
    EXPECT_EQ(DecodeLC1Data(c.data, r, ','), c.changed);
    EXPECT_DOUBLE_EQ(r.AFR, c.afr);
    EXPECT_DOUBLE_EQ(r.stochiometric, c.stoich);
    EXPECT_EQ(r.Message_LC1, c.message);
    EXPECT_EQ(r.lc, c.lc);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, Lc1DecodeTest,
    ::testing::Values(
        Lc1Case{"StoichiometricLambda", {0x43, 0x13, 0x03, 0x74}, true, 14.7, 14.7, "14,7", true},
        Lc1Case{"UnusedBitsIgnored", {0xC3, 0x93, 0x83, 0xF4}, true, 14.7, 14.7, "14,7", true},
        Lc1Case{"LambdaRoundedToTwoDecimals",
                {0x43, 0x13, 0x04, 0x0B},
                true,
                15.04,
                14.7,
                "15,04",
                true},
        Lc1Case{"OtherMultiplierDoesNotScaleAfr",
                {0x43, 0x2C, 0x03, 0x74},
                true,
                14.7,
                17.2,
                "14,7",
                true},
        Lc1Case{"ZeroValueClampedUpTo10", {0x43, 0x13, 0x00, 0x00}, true, 10.0, 14.7, "10", true},
        Lc1Case{"TopValueClampedDownTo21", {0x43, 0x13, 0x7F, 0x7F}, true, 21.0, 14.7, "21", true},
        Lc1Case{"OxygenMode209", {0x04, 0x00, 0x01, 0x51}, true, 20.9, 14.5, "20,9", true},
        Lc1Case{"OxygenMode300ClampedTo21", {0x04, 0x00, 0x02, 0x2C}, true, 21.0, 14.5, "21", true},
        Lc1Case{
            "OxygenModeHasNoLowerBound", {0x04, 0x00, 0x00, 0x05}, true, 0.5, 14.5, "0,5", true},
        Lc1Case{"ErrorCode9", {0x18, 0x00, 0x00, 0x09}, true, 13.3, 14.5, "Error  9", false},
        Lc1Case{"ErrorCodeWide", {0x18, 0x00, 0x01, 0x00}, true, 13.3, 14.5, "Error  128", false},
        Lc1Case{"WarmUpChangesNothing", {0x10, 0x13, 0x03, 0x74}, false, 13.3, 14.5, "13,3", true},
        Lc1Case{
            "CalibrationChangesNothing", {0x08, 0x13, 0x03, 0x74}, false, 13.3, 14.5, "13,3", true},
        Lc1Case{
            "Function7ChangesNothing", {0x1C, 0x13, 0x03, 0x74}, false, 13.3, 14.5, "13,3", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lc1DecodeSeparator, MessageUsesGivenSeparator) {
    LambdaReading r;
    const std::array<std::uint8_t, 4> data{0x43, 0x13, 0x04, 0x0B};
    DecodeLC1Data(data, r, '.');
    EXPECT_EQ(r.Message_LC1, "15.04");
}

TEST(Lc1DecodeFields, FunctionAndValue) {
    const std::array<std::uint8_t, 4> data{0x43, 0x13, 0x03, 0x74};
    EXPECT_EQ(LC1Function(data), 0);
    EXPECT_EQ(LC1Value(data), 500);
}

}  // namespace
}  // namespace veltrano
