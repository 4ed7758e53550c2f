// A table grid as the 3D view draws it: heights, axis labels, load axis and live cells.
#include "learning/table_surface.h"

#include <gtest/gtest.h>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/messages.h"

namespace veltrano {
namespace {

TextGrid LabelledGrid(int cols, int rows, int size) {
    TextGrid g(cols, rows);
    for (int i = 1; i <= size; ++i) {
        g.SetCell(i, 0, std::to_string(i * 400));
        g.SetCell(0, i, std::to_string(i * 6));
    }
    return g;
}

TEST(TableSurface, HeightsFollowTheCellsRowByRow) {
    TextGrid g = LabelledGrid(17, 17, 16);
    for (int r = 1; r <= 16; ++r)
        for (int c = 1; c <= 16; ++c)
            g.SetCell(c, r, std::to_string(c) + "," + std::to_string(r % 10));
    const auto s = SurfaceOf(g, 16, ',');
    ASSERT_TRUE(s);
    EXPECT_EQ(s->columns, 16);
    EXPECT_EQ(s->rows, 16);
    EXPECT_DOUBLE_EQ(s->Height(3, 2), 3.2);
    EXPECT_DOUBLE_EQ(s->Height(16, 9), 16.9);
    EXPECT_DOUBLE_EQ(s->heights[16], 1.2);  // second row starts at column 1
    EXPECT_DOUBLE_EQ(s->low, 1.0);
    EXPECT_DOUBLE_EQ(s->high, 16.9);
    EXPECT_EQ(s->columnLabels.front(), "400");
    EXPECT_EQ(s->columnLabels.back(), "6400");
    EXPECT_EQ(s->rowLabels.front(), "6");
    EXPECT_EQ(s->rowLabels.back(), "96");
}

TEST(TableSurface, EdgeGrids) {
    // No image open: empty cells give no surface.
    EXPECT_FALSE(SurfaceOf(LabelledGrid(17, 17, 16), 16, ','));
    // A grid smaller than the table asked for.
    EXPECT_FALSE(SurfaceOf(TextGrid(16, 2), 16, ','));

    // A cell that is not a number lies at 0; the ignition grid's base-curve row is no part.
    TextGrid uoz = LabelledGrid(17, 18, 16);
    for (int r = 1; r <= 16; ++r)
        for (int c = 1; c <= 16; ++c)
            uoz.SetCell(c, r, "12,5");
    uoz.SetCell(4, 4, "abc");
    for (int c = 1; c <= 16; ++c)
        uoz.SetCell(c, 17, "99");
    const auto s = SurfaceOf(uoz, 16, ',');
    ASSERT_TRUE(s);
    EXPECT_EQ(s->heights.size(), 256u);
    EXPECT_DOUBLE_EQ(s->Height(4, 4), 0.0);
    EXPECT_DOUBLE_EQ(s->low, 0.0);
    EXPECT_DOUBLE_EQ(s->high, 12.5);

    // The separator of the grid's texts decides.
    TextGrid dot = LabelledGrid(17, 17, 16);
    dot.SetCell(1, 1, "1.5");
    EXPECT_DOUBLE_EQ(SurfaceOf(dot, 16, '.')->Height(1, 1), 1.5);
}

TEST(TableSurface, OpenedImageGivesItsTablesAndAxes) {
    for (const std::string variant : {"J7ES", "J5LS", "J7SPT"}) {
        SCOPED_TRACE(variant);
        DemoImageOptions o = DefaultDemoOptions();
        o.variant = variant;
        o.pcnDad32x32 = variant == "J7ES";
        RecordedMessages messages;
        Calibration cal;
        ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(o), messages, cal, ','));
        const auto pcn = SurfaceOf(cal.grids.SG_PCN, 16, ',');
        if (variant == "J7SPT") {
            EXPECT_FALSE(pcn);  // its table addresses are unknown: the grid stays empty
            continue;
        }
        ASSERT_TRUE(pcn);
        const auto& bytes = cal.firmware.FFirmwareData;
        EXPECT_NEAR(pcn->Height(1, 1), bytes[cal.layout.StartAddrPCN] / 128.0, 0.005);
        EXPECT_NEAR(pcn->Height(16, 16), bytes[cal.layout.StartAddrPCN + 255] / 128.0, 0.005);
        EXPECT_NEAR(pcn->Height(2, 1), bytes[cal.layout.StartAddrPCN + 1] / 128.0, 0.005);
        EXPECT_EQ(pcn->columnLabels[15], std::to_string(cal.firmware.FRPMAxis[15]));
        if (variant == "J7ES") {
            const auto big = SurfaceOf(cal.grids.SG_PCN_32x32, 32, ',');
            ASSERT_TRUE(big);
            EXPECT_EQ(big->heights.size(), 1024u);
            EXPECT_EQ(big->rowLabels[31], std::to_string(cal.firmware.FdadAxis_32[31]));
        }
    }
}

TEST(TableSurface, RowAxisFollowsTheLayout) {
    struct Case {
        const char* variant;
        bool dad, dadUozAfr, gbc, pcnGridDad;
        SurfaceTable table;
        LoadAxis want;
    };
    const Case cases[] = {
        {"J7SPT", false, false, false, false, SurfaceTable::PCN, LoadAxis::Throttle},
        {"J7SPT", false, false, false, false, SurfaceTable::UOZ, LoadAxis::Throttle},
        {"J7ES", true, false, false, true, SurfaceTable::PCN, LoadAxis::Pressure},
        {"J7ES", true, false, false, true, SurfaceTable::Shdk, LoadAxis::Pressure},
        {"J7ES", true, false, false, false, SurfaceTable::PCN, LoadAxis::Throttle},
        {"J7ES", true, false, false, true, SurfaceTable::AFR, LoadAxis::Throttle},
        {"J7ES", true, true, false, true, SurfaceTable::UOZ, LoadAxis::Pressure},
        {"J7ES", true, true, false, true, SurfaceTable::BCN, LoadAxis::Throttle},
        {"J7TRS", true, true, false, true, SurfaceTable::BCN, LoadAxis::Pressure},
        {"J5LS", true, true, false, true, SurfaceTable::BCN, LoadAxis::Throttle},
        {"J5.1", false, false, true, false, SurfaceTable::UOZ, LoadAxis::AirFill},
        {"J5.1", false, false, true, false, SurfaceTable::AFR, LoadAxis::Throttle},
        {"J7ES", true, true, false, true, SurfaceTable::PcnTrt, LoadAxis::Throttle},
        {"J7ES", true, true, false, true, SurfaceTable::Pcn32, LoadAxis::Throttle},
        {"J7ES", true, true, false, true, SurfaceTable::Pcn32x32, LoadAxis::Pressure},
    };
    for (const Case& k : cases) {
        FirmwareLayout l;
        l.firmwareName = k.variant;
        l.FlagDAD = k.dad;
        l.FlagDadUozAfr = k.dadUozAfr;
        l.FlagGBC = k.gbc;
        l.FlagPcnGridDad = k.pcnGridDad;
        EXPECT_EQ(RowAxisOf(k.table, l), k.want) << k.variant << " table " << int(k.table);
    }
}

TEST(TableSurface, LiveCellsAreThePaintedPointCells) {
    OperatingCell op;
    op.RPM_RT = 5;
    op.LoadIndex = 6;
    op.TRT_RT = 7;
    op.DAD_RT = 8;
    op.RPM_RT_32 = 20;
    op.DAD_RT_32 = 31;
    using C = std::vector<SurfaceCell>;
    struct Case {
        SurfaceTable table;
        bool dadUozAfr;
        C want;
    };
    const Case cases[] = {
        {SurfaceTable::PCN, false, C{{5, 6}}},   {SurfaceTable::RT, true, C{{5, 6}}},
        {SurfaceTable::Shdk, false, C{{5, 6}}},  {SurfaceTable::AFR, false, C{{5, 7}}},
        {SurfaceTable::UOZ, true, C{{5, 8}}},    {SurfaceTable::BCN, false, C{{5, 6}, {5, 7}}},
        {SurfaceTable::PcnTrt, true, C{{5, 7}}}, {SurfaceTable::Pcn32x32, false, C{{20, 31}}},
        {SurfaceTable::Pcn32, false, C{}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(LiveCells(k.table, op, k.dadUozAfr), k.want) << int(k.table);

    // The fuel and the ignition cell of the base fill may be one cell.
    op.TRT_RT = 6;
    EXPECT_EQ(LiveCells(SurfaceTable::BCN, op, false), (C{{5, 6}}));
    // Before the first search and outside the table nothing is marked.
    EXPECT_TRUE(LiveCells(SurfaceTable::PCN, OperatingCell{}, false).empty());
    op.LoadIndex = 17;
    EXPECT_TRUE(LiveCells(SurfaceTable::PCN, op, false).empty());
    op.RPM_RT_32 = 33;
    EXPECT_TRUE(LiveCells(SurfaceTable::Pcn32x32, op, false).empty());
}

}  // namespace
}  // namespace veltrano
