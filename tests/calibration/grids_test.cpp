#include "calibration/calibration_grids.h"

#include <gtest/gtest.h>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"

namespace veltrano {
namespace {

Calibration Open(const DemoImageOptions& o, char sep = ',') {
    Calibration c;
    SilentMessages quiet;
    EXPECT_TRUE(OpenCalibrationBytes(MakeDemoImage(o), quiet, c, sep));
    return c;
}

DemoImageOptions Options(const std::string& variant, bool dad, bool dadUozAfr) {
    DemoImageOptions o;
    o.variant = variant;
    o.dad = dad;
    o.dadUozAfr = dadUozAfr;
    return o;
}

template <std::size_t N>
void ExpectColumn(const TextGrid& g, const std::array<std::int32_t, N>& axis) {
    for (std::size_t i = 1; i <= N; ++i)
        EXPECT_EQ(g.Cell(0, i), IntegerText(axis[i - 1]));
}

TEST(FillGrids, DecodedTablesAndRpmLabels) {
    const Calibration c = Open(Options("J5TRS", true, true));
    const auto& g = c.grids;
    EXPECT_EQ(g.SG_PCN.Cell(1, 1), FormatMask("##0.##", DemoPcnByte(1, 1) / 128.0, ','));
    EXPECT_EQ(g.SG_UOZ.Cell(16, 1), "33");
    EXPECT_EQ(g.SG_AFR.Cell(1, 1), "14,7");
    EXPECT_EQ(g.SG_BCN.Cell(9, 16), IntegerText(RoundHalfEven(DemoBcnByte(9, 16, 2) / 3.0 * 16)));
    for (const TextGrid* grid :
         {&g.SG_BCN, &g.SG_PCN, &g.SG_UOZ, &g.SG_AFR, &g.SG_RT, &g.SG_PCN_TRT, &g.RzStringGrid2}) {
        EXPECT_EQ(grid->Cell(1, 0), "600");
        EXPECT_EQ(grid->Cell(16, 0), "7200");
        EXPECT_EQ(grid->Cell(0, 0), "");
    }
    ExpectColumn(g.SG_PCN_TRT, c.firmware.FThrottleAxis);
    EXPECT_EQ(g.SG_UOZ.RowCount(), 18);
    EXPECT_EQ(g.SG_UOZ.Cell(1, 17), "");
}

struct LabelCase {
    const char* label;
    DemoImageOptions options;
    // Which axis labels column 0: 'T' throttle, 'D' pressure, 'G' air fill, '-' nothing.
    char pcn, bcn, uoz, afr, rt;
};

class RowLabels : public ::testing::TestWithParam<LabelCase> {};

void ExpectAxis(const TextGrid& g, char axis, const TFirmware& fw) {
    if (axis == 'T')
        ExpectColumn(g, fw.FThrottleAxis);
    if (axis == 'D')
        ExpectColumn(g, fw.FDADAxis);
    if (axis == 'G')
        ExpectColumn(g, fw.GBCAxis());
    if (axis == '-') {
        for (int r = 1; r <= 16; ++r)
            EXPECT_EQ(g.Cell(0, r), "");
    }
}

TEST_P(RowLabels, FollowTheIndexingOfEachTable) {
    const LabelCase& p = GetParam();
    const Calibration c = Open(p.options);
    ExpectAxis(c.grids.SG_PCN, p.pcn, c.firmware);
    ExpectAxis(c.grids.SG_BCN, p.bcn, c.firmware);
    ExpectAxis(c.grids.SG_UOZ, p.uoz, c.firmware);
    ExpectAxis(c.grids.SG_AFR, p.afr, c.firmware);
    ExpectAxis(c.grids.SG_RT, p.rt, c.firmware);
    ExpectAxis(c.grids.RzStringGrid2, p.rt, c.firmware);
}

std::string LabelName(const ::testing::TestParamInfo<LabelCase>& info) {
    return info.param.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowLabels,
    ::testing::Values(
        LabelCase{"throttle", Options("J5TRS", false, false), 'T', 'T', 'T', 'T', 'T'},
        LabelCase{"J7ES_dad", Options("J7ES", true, false), 'D', 'T', 'T', 'T', 'D'},
        LabelCase{"J7ES_dad_uozafr", Options("J7ES", true, true), 'D', 'T', 'D', 'D', 'D'},
        LabelCase{"J5TRS_dad_uozafr", Options("J5TRS", true, true), 'D', 'D', 'D', 'D', 'D'},
        LabelCase{"J7TRS_dad_uozafr", Options("J7TRS", true, true), 'D', 'D', 'D', 'D', 'D'},
        LabelCase{"J5LS_dad_uozafr", Options("J5LS", true, true), 'D', 'T', 'D', 'D', 'D'},
        // Pressure fuelling with throttle ignition: labelled by our choice.
        LabelCase{"J5TRS_dad", Options("J5TRS", true, false), 'D', 'D', 'T', 'T', 'D'},
        LabelCase{"J7TRS_dad", Options("J7TRS", true, false), 'D', 'D', 'T', 'T', 'D'},
        LabelCase{"J5LS_dad", Options("J5LS", true, false), 'D', 'T', 'T', 'T', 'D'},
        LabelCase{"J7_2", Options("J7.2", false, false), 'T', 'T', 'G', 'T', 'T'},
        LabelCase{"J7SPT_dad", Options("J7SPT", true, false), '-', '-', '-', '-', '-'}),
    LabelName);

TEST(FillGrids, TabsAndEnabledGrids) {
    const Calibration plain = Open(Options("J7.2", false, false));
    EXPECT_FALSE(plain.grids.ShowPcnTrtTab);
    EXPECT_FALSE(plain.grids.ShowPcn32Tab);
    EXPECT_FALSE(plain.grids.ShowPcnDad32x32Tab);
    EXPECT_FALSE(plain.grids.RzStringGrid5.Enabled);
    EXPECT_FALSE(plain.grids.RzStringGrid8.Enabled);
    EXPECT_EQ(plain.grids.RzStringGrid8.Cell(0, 0), "");

    DemoImageOptions trs = Options("J5TRS", true, true);
    trs.pcn32 = true;
    const Calibration t = Open(trs);
    EXPECT_TRUE(t.grids.ShowPcnTrtTab);
    EXPECT_TRUE(t.grids.ShowLearnTrtOption);
    EXPECT_TRUE(t.grids.ShowPcn32Tab);
    EXPECT_TRUE(t.grids.RzStringGrid5.Enabled);
    EXPECT_TRUE(t.grids.RzStringGrid8.Enabled);
    EXPECT_EQ(t.grids.RzStringGrid8.Cell(0, 0), "Обороты Лаунча");
    EXPECT_EQ(t.grids.RzStringGrid8.Cell(1, 0), "4000");
    EXPECT_EQ(t.grids.SG_Min_Inj_Time.Cell(0, 0), "Мин. Время впрыска, Мсек");
    EXPECT_EQ(t.grids.SG_Min_Inj_Time.Cell(1, 0), "0,6");
    EXPECT_EQ(t.grids.RzStringGrid3.Cell(1, 0), "2,5022");
    EXPECT_EQ(t.grids.SG_PCN_32.Cell(1, 1),
              FormatMask("##0.##", DemoPcnByte(1, 1, 32) / 128.0, ','));
    EXPECT_EQ(t.grids.SG_PCN_32.Cell(32, 0), IntegerText(t.firmware.FRPMAxis_32[31]));
    ExpectColumn(t.grids.SG_PCN_32, t.firmware.FThrottleAxis_32);

    DemoImageOptions es = Options("J7ES", true, false);
    es.pcnDad32x32 = true;
    const Calibration e = Open(es);
    EXPECT_TRUE(e.grids.ShowPcnDad32x32Tab);
    EXPECT_FALSE(e.grids.ShowPcnTrtTab);
    EXPECT_TRUE(e.grids.ShowLearnTrtOption);
    EXPECT_EQ(e.layout.InjStaticBytes, 2);
    EXPECT_EQ(e.grids.RzStringGrid3.Cell(1, 0), "2,5022");
    EXPECT_EQ(e.grids.SG_PCN_32x32.Cell(32, 32),
              FormatMask("##0.##", DemoPcnByte(32, 32, 32) / 128.0, ','));
    ExpectColumn(e.grids.SG_PCN_32x32, e.firmware.FdadAxis_32);
}

TEST(FillGrids, J7TrsHasNoMinimumInjectionTimeAddress) {
    const Calibration c = Open(Options("J7TRS", true, true));
    EXPECT_EQ(c.grids.SG_Min_Inj_Time.Cell(0, 0), "Мин. Время впрыска, Мсек");
    EXPECT_EQ(c.grids.SG_Min_Inj_Time.Cell(1, 0), "");
    EXPECT_FALSE(c.grids.SG_Min_Inj_Time.Enabled);
}

TEST(FillGrids, DataTabAndMissingStaticFlow) {
    const Calibration c = Open(Options("J7.2", false, false), '.');
    const auto& g = c.grids;
    EXPECT_EQ(g.RzStringGrid3.Cell(0, 0), "Статика форсунок Мг/Мсек");
    EXPECT_EQ(c.layout.InjStaticBytes, 0);
    EXPECT_EQ(g.RzStringGrid3.Cell(1, 0), "0.0000");
    EXPECT_EQ(g.RzStringGrid7.Cell(0, 0), "Обьём Цилиндра CC");
    EXPECT_EQ(g.RzStringGrid7.Cell(1, 0), "399.5");
    EXPECT_EQ(g.RzStringGrid4.Cell(0, 0), "-40");
    EXPECT_EQ(g.RzStringGrid4.Cell(38, 0), "150");
    EXPECT_EQ(g.RzStringGrid4.Cell(0, 1), "13.0");
    EXPECT_EQ(g.RzStringGrid5.Cell(0, 1), "90");
    EXPECT_EQ(g.RzStringGrid6.Cell(0, 1), "1400");
    EXPECT_EQ(g.RzStringGrid1.Cell(3, 0), "8");
    EXPECT_EQ(g.RzStringGrid1.Cell(0, 0), "5.6");
}

}  // namespace
}  // namespace veltrano
