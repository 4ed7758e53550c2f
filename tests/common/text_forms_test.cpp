#include "common/text_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace veltrano {
namespace {

struct MaskCase {
    const char* mask;
    double value;
    const char* comma;
};

TEST(FormatMask, RoundsHalfAwayAtLastShownDigit) {
    const MaskCase cases[] = {
        {"##0.##", 0.625, "0,63"},  {"##0.##", 1.0, "1"},
        {"##0.##", 1.5, "1,5"},     {"##0.##", -0.625, "-0,63"},
        {"##0.##", 0.0, "0"},       {"##0.##", 0.004, "0"},
        {"##0.##", -0.004, "0"},    {"##0.##", 99.995, "100"},
        {"##0.##", 1.005, "1,01"},  {"##0", 64.5, "65"},
        {"##0", -64.5, "-65"},      {"##0", 0.49, "0"},
        {"##0.0", 2.0, "2,0"},      {"##0.0", 2.25, "2,3"},
        {"##0.#", 2.04, "2"},       {"##0.0000", 1.0 / 3, "0,3333"},
        {"##.#00", 0.5, ",500"},    {"##.#00", 0.12345, ",123"},
        {"##.#00", 1.2, "1,200"},   {"#0.##", 14.7, "14,7"},
        {"##0.##", 1.9, "1,9"},     {"##0.##", 255.0 / 128, "1,99"},
        {"##0.##", 1e6, "1000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatMask(c.mask, c.value, ','), c.comma) << c.mask << " " << c.value;
        std::string dot = c.comma;
        for (auto& ch : dot)
            ch = ch == ',' ? '.' : ch;
        EXPECT_EQ(FormatMask(c.mask, c.value, '.'), dot) << c.mask << " " << c.value;
    }
}

TEST(GeneralText, ShortestWithFifteenDigits) {
    const std::pair<double, const char*> cases[] = {
        {14.7, "14,7"},
        {0.1 + 0.2, "0,3"},
        {100.0, "100"},
        {-3.25, "-3,25"},
        {0.0, "0"},
        {-0.0, "0"},
        {1e-5, "1E-5"},
        {9e-6, "9E-6"},
        {0.0001, "0,0001"},
        {1.5e-7, "1,5E-7"},
        {1e15, "1E15"},
        {123456789012345.0, "123456789012345"},
        {1.0 / 3, "0,333333333333333"},
        {2.0 / 3, "0,666666666666667"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(GeneralText(v, ','), text) << v;
    EXPECT_EQ(GeneralText(14.7, '.'), "14.7");
    EXPECT_EQ(GeneralText(std::numeric_limits<double>::quiet_NaN(), ','), "NAN");
    EXPECT_EQ(GeneralText(-std::numeric_limits<double>::infinity(), ','), "-INF");
}

TEST(RoundHalfEven, TiesGoToEven) {
    EXPECT_EQ(RoundHalfEven(64.5), 64);
    EXPECT_EQ(RoundHalfEven(65.5), 66);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(EncodeByte(1.0 * 128), 128);
    EXPECT_EQ(EncodeByte(256.0), 0);  // low 8 bits kept
    EXPECT_EQ(EncodeByte(300.0), 44);
    EXPECT_EQ(EncodeByte(-1.0), 255);
    EXPECT_EQ(EncodeByte(0.5), 0);
    EXPECT_DOUBLE_EQ(RoundHalfAway(0.625, 2), 0.63);
    EXPECT_DOUBLE_EQ(RoundHalfAway(-2.5, 0), -3);
}

TEST(ParseNumber, UsesOnlyTheGivenSeparator) {
    EXPECT_EQ(ParseNumber("14,7", ','), 14.7);
    EXPECT_EQ(ParseNumber(" -0,5 ", ','), -0.5);
    EXPECT_EQ(ParseNumber(",5", ','), 0.5);
    EXPECT_EQ(ParseNumber("5,", ','), 5.0);
    EXPECT_EQ(ParseNumber("1E-5", ','), 1e-5);
    EXPECT_EQ(ParseNumber("1,5E3", ','), 1500.0);
    EXPECT_EQ(ParseNumber("14.7", '.'), 14.7);
    EXPECT_EQ(ParseNumber("+3", ','), 3.0);
    for (const char* bad : {"14.7", "", " ", "abc", "1,2,3", "1e", "12a", "-", ",", "INF", "NAN"}) {
        EXPECT_FALSE(ParseNumber(bad, ',').has_value()) << bad;
    }
    EXPECT_EQ(ParseInteger(" 42 "), 42);
    EXPECT_EQ(ParseInteger("-7"), -7);
    EXPECT_FALSE(ParseInteger("4,2").has_value());
    EXPECT_FALSE(ParseInteger("").has_value());
}

TEST(TextForms, RoundTripThroughGeneralText) {
    for (double v : {0.0078125, 1.9921875, 14.7, 0.2, 1.9, 123.456, -9.75}) {
        for (char sep : {',', '.'}) {
            auto back = ParseNumber(GeneralText(v, sep), sep);
            ASSERT_TRUE(back.has_value());
            EXPECT_DOUBLE_EQ(*back, v);
        }
    }
}

}  // namespace
}  // namespace veltrano
