#include <gtest/gtest.h>

#include "common/text_forms.h"
#include "log/log_format.h"
#include "log/log_texts.h"

namespace veltrano {
namespace {

TEST(LogFormat, TimeHasNoLeadingZeros) {
    EXPECT_EQ(TimeField({9, 5, 3, 7}), "9:5:3.7");
    EXPECT_EQ(TimeField({23, 59, 59, 999}), "23:59:59.999");
    EXPECT_EQ(TimeField({0, 0, 0, 0}), "0:0:0.0");
}

TEST(LogFormat, RealsUseAPointWhateverTheSeparator) {
    const char before = DecimalSeparator();
    const struct {
        double v;
        const char* text;
    } cases[] = {{14.7, "14.7"}, {900, "900"}, {0, "0"}, {-0.25, "-0.25"}, {1e-7, "1E-7"}};
    for (char sep : {',', '.'}) {
        SetDecimalSeparator(sep);
        for (const auto& c : cases)
            EXPECT_EQ(RealField(c.v), c.text) << sep;
    }
    SetDecimalSeparator(before);
    EXPECT_EQ(IntegerField(-3), "-3");
    EXPECT_EQ(IntegerField(101), "101");
}

TEST(LogFormat, StampOfAConnection) {
    std::tm t{};
    t.tm_year = 114;
    t.tm_mon = 2;
    t.tm_mday = 25;
    t.tm_hour = 18;
    t.tm_min = 7;
    EXPECT_EQ(LogStamp(t), "(25.03.14_18.07)");
    EXPECT_EQ(LogStamp(t, '-'), "(25-03-14_18.07)");
    EXPECT_EQ(LogStamp(t, '/'), "(25.03.14_18.07)");  // a path separator cannot be used
}

TEST(LogFormat, HeaderHas71Fields) {
    const auto fields = SplitFields(kLogHeader);
    ASSERT_EQ(fields.size(), 71u);
    EXPECT_EQ(fields.front(), "TIME");
    EXPECT_EQ(fields[55], "RPM/TRT_RT");
    EXPECT_EQ(fields.back(), "Путьевой расход л/100km");
    EXPECT_EQ(JoinFields({"a", "b", "c"}), "a,b,c");
}

}  // namespace
}  // namespace veltrano
