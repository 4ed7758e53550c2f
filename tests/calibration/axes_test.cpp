#include <gtest/gtest.h>

#include "calibration/calibration_grids.h"
#include "calibration/demo_image.h"
#include "calibration/firmware.h"
#include "tests/calibration/test_images.h"

namespace veltrano {
namespace {

using testing::Loaded;
using testing::ZeroImage;

struct FactorCase {
    const char* label;
    std::vector<std::pair<std::size_t, std::uint8_t>> sequences;  // position, selector byte
    const char* sptName;
    std::size_t size;
    int factor;
};

class QuantValueTest : public ::testing::TestWithParam<FactorCase> {};

TEST_P(QuantValueTest, LastKnownSelectorDecides) {
    const FactorCase& c = GetParam();
    auto img = ZeroImage(c.size);
    for (auto [pos, sel] : c.sequences) {
        testing::PutText(img, pos, "\x90\x61\x3C\xE5");
        if (pos + 4 < img.size())
            img[pos + 4] = sel;
    }
    if (*c.sptName)
        testing::PutText(img, 0x0100, c.sptName);
    EXPECT_EQ(Loaded(img).GetQuantValue(), c.factor);
}

std::string FactorName(const ::testing::TestParamInfo<FactorCase>& info) {
    return info.param.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, QuantValueTest,
    ::testing::Values(FactorCase{"none", {}, "", 65536, 0},
                      FactorCase{"x54", {{0x2000, 0x54}}, "", 65536, 30},
                      FactorCase{"x55", {{0x2000, 0x55}}, "", 65536, 40},
                      FactorCase{"last_wins", {{0x2000, 0x55}, {0x3000, 0x54}}, "", 65536, 30},
                      FactorCase{"other_ignored", {{0x2000, 0x55}, {0x3000, 0x12}}, "", 65536, 40},
                      FactorCase{"offset0_skipped", {{0, 0x54}}, "", 65536, 0},
                      FactorCase{"at_the_end", {{65531, 0x55}}, "", 65536, 40},
                      FactorCase{"past_the_end", {{65532, 0x55}}, "", 65536, 0},
                      FactorCase{"big_image", {{100000, 0x54}}, "", 131072, 30},
                      FactorCase{"spt7", {{0x2000, 0x54}}, "J7SPT", 65536, 50},
                      FactorCase{"spt5", {}, "J5SPT", 65536, 50}),
    FactorName);

TEST(Axes, DemoQuantisationTablesGiveTheirPoints) {
    DemoImageOptions o;
    o.variant = "J7.2";
    TFirmware fw = Loaded(MakeDemoImage(o));
    fw.GetRPMAxis();
    fw.GetThrottleAxis();
    fw.GetThrottleAxis_32();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(fw.FRPMAxis[i], DemoRpmPosition(i) * 30);
        EXPECT_EQ(fw.FThrottleAxis[i], DemoThrottlePercent(i));
        EXPECT_EQ(fw.FRPMAxis_32[2 * i], DemoRpmPosition(i) * 30);
        EXPECT_EQ(fw.FThrottleAxis_32[2 * i], DemoThrottlePercent(i));
    }
}

TEST(Axes, RpmFactorZeroGivesZeroLabels) {
    DemoImageOptions o;
    o.variant = "J7.2";
    o.rpmQuantSelector = 0;
    TFirmware fw = Loaded(MakeDemoImage(o));
    fw.GetRPMAxis();
    for (int v : fw.FRPMAxis)
        EXPECT_EQ(v, 0);
    for (int v : fw.FRPMAxis_32)
        EXPECT_EQ(v, 0);
}

TEST(Axes, SearchRetriesHigherValuesAndWraps) {
    auto img = ZeroImage();
    // Throttle table: positions 0..100 hold 0 except 17 at 5 and 40 at 9.
    img[0x7208 + 5] = 17;
    img[0x7208 + 9] = 40;
    TFirmware fw = Loaded(img);
    fw.GetThrottleAxis();
    EXPECT_EQ(fw.FThrottleAxis[0], 100);  // last position holding 0
    EXPECT_EQ(fw.FThrottleAxis[1], 5);    // 16 missing: 17 found
    EXPECT_EQ(fw.FThrottleAxis[2], 9);    // 32 missing: 33..40
    // Nothing from 48 up occurs: the search wraps round to 0, last held at position 100.
    EXPECT_EQ(fw.FThrottleAxis[3], 100);

    auto empty = ZeroImage();
    std::fill(empty.begin() + 0x7208, empty.begin() + 0x7208 + 101, 0xEE);
    empty[0x7208] = 0x10;  // 16 only at position 0: never accepted
    TFirmware fw2 = Loaded(empty);
    fw2.GetThrottleAxis();
    EXPECT_EQ(fw2.FThrottleAxis[0], 0);    // 0 absent -> position 0
    EXPECT_EQ(fw2.FThrottleAxis[1], 100);  // 16 at 0 only, ..., 0xEE last at 100
}

TEST(Axes, PressureAxisWithAndWithoutSpan) {
    auto img = ZeroImage();
    img[0x5EF2] = 0xB0;  // 1200 -> base 20
    img[0x5EF3] = 0x04;
    img[0x5EF4] = 0;
    TFirmware fw = Loaded(img);
    fw.GetDadAxis(0x5EF2, 0x5EF3, 0x5EF4);
    EXPECT_EQ(fw.FDADAxis[0], 20);
    EXPECT_EQ(fw.FDADAxis[1], 20 + 549);
    EXPECT_EQ(fw.FDADAxis[2], 20 + 1099);
    EXPECT_EQ(fw.FDADAxis[3], 20 + 1649);
    fw.FFirmwareData[0x5EF4] = 103;  // span 80.08
    fw.GetDadAxis(0x5EF2, 0x5EF3, 0x5EF4);
    fw.GetDadAxis_x32(0x5EF2, 0x5EF3, 0x5EF4);
    EXPECT_EQ(fw.FDADAxis[15], 100);
    EXPECT_EQ(fw.FdadAxis_32[0], 20);
    EXPECT_EQ(fw.FdadAxis_32[31], 100);
    EXPECT_EQ(fw.FdadAxis_32[1], 22);  // trunc(80.08 / 31)
}

TEST(Axes, AirFillAxis) {
    auto img = ZeroImage();
    img[0x6064] = 15;  // 15 / 6 = 2.5 rounds to even: 2
    img[0x6066] = 0;   // span 81900, step 5460
    TFirmware fw = Loaded(img);
    auto axis = fw.GBCAxis();
    EXPECT_EQ(axis[0], 2);
    EXPECT_EQ(axis[1], 2 + 5460);
    EXPECT_EQ(axis[15], 2 + 81900);
}

TEST(Axes, FixedAxes) {
    EXPECT_EQ(CoolantAxisPoint(0), -40);
    EXPECT_EQ(CoolantAxisPoint(38), 150);
    EXPECT_DOUBLE_EQ(BatteryAxisPoint(0), 5.6);
    EXPECT_DOUBLE_EQ(BatteryAxisPoint(15), 17.6);
}

}  // namespace
}  // namespace veltrano
