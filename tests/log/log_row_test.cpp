#include <gtest/gtest.h>

#include "common/text_forms.h"
#include "log/live_values.h"
#include "log/log_format.h"
#include "log/log_row.h"

namespace veltrano {
namespace {

class LogRowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = DecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }
    char saved_ = ',';
};

TEST_F(LogRowTest, ColumnsAndForms) {
    LiveRecord live;
    live.Fsensor_rpm_gbc_3d = 7;
    live.FsensorAirFuelRatio = 14.7;
    live.FsensorCrankshaftSpeed = 900;
    live.FsensorPressure = 101;
    live.flag_O2_heater = 1;
    CycleLogValues cycle;
    cycle.RPM_RT = 3;
    cycle.TRT_RT = 4;
    cycle.LC_COrrect = 1.05;
    cycle.DAD_RT = 5;
    cycle.PCN_FIRM = 0.984375;
    cycle.OltRewriteMark = 1;
    cycle.RPM_RT_32 = 6;
    cycle.T1 = 37.5;
    cycle.view.FazaGenInjTime = 180;
    cycle.view.FazaUozInjTime = 90;
    cycle.view.TripFuelRate = 10;

    const std::string row = BuildLogRow({9, 5, 3, 7}, live, 0, cycle);
    const auto f = SplitFields(row);
    ASSERT_EQ(f.size(), 71u);
    const struct {
        int column;  // 1-based, as in the header
        const char* text;
    } cases[] = {
        {1, "9:5:3.7"},   {2, "7"},     {4, "14.7"}, {6, "900"}, {34, "101"},  {36, "0"},
        {53, "1"},        {54, "3"},    {55, "4"},   {56, "0"},  {57, "1.05"}, {58, "5"},
        {59, "0.984375"}, {60, "0"},    {61, "1"},   {62, "6"},  {63, "180"},  {64, "90"},
        {65, "0"},        {66, "37.5"}, {71, "10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(f[c.column - 1], c.text) << "column " << c.column;
    EXPECT_EQ(row.find(' '), std::string::npos);
}

TEST(LiveViewValues, FuelRateAndInjectionAngles) {
    LiveViewValues v;
    UpdateLiveViewValues(v, 60, 6, 6000, 10);
    EXPECT_DOUBLE_EQ(v.TripFuelRate, 10);
    EXPECT_EQ(v.FazaUozInjTime, 360);
    EXPECT_EQ(v.FazaGenInjTime, 270);
    UpdateLiveViewValues(v, 0, 9, 0, 10);  // standing, no speed: everything kept
    EXPECT_DOUBLE_EQ(v.TripFuelRate, 10);
    EXPECT_EQ(v.FazaUozInjTime, 360);
    UpdateLiveViewValues(v, 50, 5, 3000, 5);
    EXPECT_DOUBLE_EQ(v.TripFuelRate, 10);
    EXPECT_EQ(v.FazaUozInjTime, 90);
    EXPECT_EQ(v.FazaGenInjTime, 180);
    UpdateLiveViewValues(v, 50, 5, 6000, 25);
    EXPECT_EQ(v.FazaUozInjTime, 900);
    EXPECT_EQ(v.FazaGenInjTime, 700);
}

}  // namespace
}  // namespace veltrano
