#include "editing/table_transforms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit_fixture.h"
#include "editing/table_menu.h"

namespace veltrano::test {
namespace {

std::vector<std::string> Row(const TextGrid& g, int r, int from, int to) {
    std::vector<std::string> out;
    for (int c = from; c <= to; ++c)
        out.push_back(g.Cell(c, r));
    return out;
}

TEST(Interpolation, StraightLineAlongXBetweenTheEndColumns) {
    const struct {
        std::vector<std::string> cells;
        std::vector<std::string> want;
    } cases[] = {
        {{"1", "9", "9", "9", "5"}, {"1", "2", "3", "4", "5"}},
        {{"1", "", "", "1,1"}, {"1", "1,03333333333333", "1,06666666666667", "1,1"}},
        {{"2", "7"}, {"2", "7"}},
    };
    for (const auto& c : cases) {
        TextGrid g(17, 17);
        const int right = static_cast<int>(c.cells.size());
        for (int k = 0; k < right; ++k)
            g.SetCell(k + 1, 4, c.cells[k]);
        EXPECT_TRUE(InterpolateX(g, {1, 4, right, 4}, nullptr, ','));
        EXPECT_EQ(Row(g, 4, 1, right), c.want);
    }
}

TEST(Interpolation, OneColumnChangesNothingAlongXButWorksAlongY) {
    TextGrid g(17, 17);
    g.SetCell(2, 1, "1");
    g.SetCell(2, 2, "x");
    g.SetCell(2, 3, "3");
    EXPECT_TRUE(InterpolateX(g, {2, 1, 2, 3}, nullptr, ','));
    EXPECT_EQ(g.Cell(2, 2), "x");
    EXPECT_TRUE(InterpolateY(g, {2, 1, 2, 3}, nullptr, ','));
    EXPECT_EQ(g.Cell(2, 2), "2");
}

TEST(Interpolation, EveryRowOfABlockAndAnEmptyEndStops) {
    TextGrid g(17, 17);
    g.SetCell(1, 1, "0");
    g.SetCell(3, 1, "4");
    g.SetCell(1, 2, "10");
    g.SetCell(3, 2, "");  // empty end cell
    RecordedMessages messages;
    EXPECT_FALSE(InterpolateX(g, {1, 1, 3, 2}, &messages, ','));
    // Column 1, row 1 was rewritten before row 2 failed.
    EXPECT_EQ(g.Cell(1, 1), "0");
    EXPECT_EQ(g.Cell(2, 1), "");
    EXPECT_EQ(messages.entries.size(), 1u);
}

TEST(Smoothing, TwoPassesUseAlreadySmoothedNeighbours) {
    TextGrid g(17, 17);
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c)
            g.SetCell(c, r, "4");
    }
    g.SetCell(1, 1, "1");
    g.SetCell(2, 1, "0");
    g.SetCell(3, 1, "0");
    EXPECT_TRUE(SmoothTable(g, "##0.##", nullptr, ','));
    // Across: (2,1) = 1 + (0 - 1) / 3 = 0.67; (3,1) = 0.67 + (4 - 0.67) / 3 = 1.78.
    // Row 1 is not touched by the second pass.
    EXPECT_EQ(g.Cell(2, 1), "0,67");
    EXPECT_EQ(g.Cell(3, 1), "1,78");
    EXPECT_EQ(g.Cell(1, 1), "1");
    // Down, column 2: (2,2) = 0.67 + (4 - 0.67) / 3 = 1.78.
    EXPECT_EQ(g.Cell(2, 2), "1,78");
    EXPECT_EQ(g.Cell(16, 16), "4");
}

TEST(Smoothing, CornersNeverChange) {
    TextGrid g(17, 17);
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c)
            g.SetCell(c, r, std::to_string(c * r));
    }
    g.SetCell(1, 16, "100");
    g.SetCell(16, 1, "-3");
    EXPECT_TRUE(SmoothTable(g, "##0.##", nullptr, ','));
    EXPECT_EQ(g.Cell(1, 1), "1");
    EXPECT_EQ(g.Cell(16, 16), "256");
    EXPECT_EQ(g.Cell(1, 16), "100");
    EXPECT_EQ(g.Cell(16, 1), "-3");
}

class TableMenu : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        for (TextGrid* g : {&grids.SG_BCN, &grids.SG_PCN, &grids.SG_AFR, &grids.SG_UOZ}) {
            Fill(*g, 16, [](int c, int) { return c == 1 ? "1" : "0"; });
        }
    }
};

TEST_F(TableMenu, InterpolationActsOnTheGridOfTheActiveTab) {
    const struct {
        int page;
        TextGrid* grid;
    } cases[] = {{kPageBcn, &grids.SG_BCN},
                 {kPagePcn, &grids.SG_PCN},
                 {kPageAfr, &grids.SG_AFR},
                 {kPageUoz, &grids.SG_UOZ}};
    for (const auto& c : cases) {
        c.grid->SetCell(3, 2, "2");
        N1Click(ctx, grids, c.page, {1, 2, 3, 2});
        EXPECT_EQ(c.grid->Cell(2, 2), "1,5") << c.page;
        c.grid->SetCell(1, 4, "3");
        Y1Click(ctx, grids, c.page, {1, 2, 1, 4});
        EXPECT_EQ(c.grid->Cell(1, 3), "2") << c.page;
    }
    N1Click(ctx, grids, 6, {1, 1, 16, 16});  // "DATA": nothing
    EXPECT_EQ(grids.SG_PCN.Cell(5, 5), "0");
}

TEST_F(TableMenu, SmoothingOnlyForBcnAndPcn) {
    N3Click(ctx, grids, kPageAfr);
    N3Click(ctx, grids, kPageUoz);
    EXPECT_EQ(grids.SG_AFR.Cell(2, 5), "0");
    EXPECT_EQ(grids.SG_UOZ.Cell(2, 5), "0");
    N3Click(ctx, grids, kPageBcn);
    N3Click(ctx, grids, kPagePcn);
    // Across: 1 + (0 - 1) / 3 next to the column of ones; 0.67 - 0.67 / 3 after it.
    EXPECT_EQ(grids.SG_BCN.Cell(2, 5), "0,67");
    EXPECT_EQ(grids.SG_BCN.Cell(3, 5), "0,45");
    EXPECT_EQ(grids.SG_PCN.Cell(2, 5), "0,67");
}

TEST_F(TableMenu, OnLinePcnInterpolationReencodesAndQueuesOneWrite) {
    Connect();
    ctx.radios.RadioOlt = true;
    grids.SG_PCN.SetCell(1, 7, "0,99");
    grids.SG_PCN.SetCell(4, 7, "0,99");
    N1Click(ctx, grids, kPagePcn, {1, 7, 4, 7});
    EXPECT_EQ(grids.SG_PCN.Cell(2, 7), "0,9921875");
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "1");
    EXPECT_EQ(link->TablePCN[6 * 16 + 1], 127);
    EXPECT_EQ(firmware.FFirmwareData[0x7CF7 + 6 * 16 + 1], 127);
    EXPECT_TRUE(link->FlagReWritePCN);
    EXPECT_EQ(learning.calls, std::vector<PcnRewrite>{PcnRewrite::Olt});
}

TEST_F(TableMenu, OffLineTransformsOfOtherTablesQueueNothing) {
    Connect(false);
    ctx.radios = {true, true, true};
    N1Click(ctx, grids, kPagePcn, {1, 7, 4, 7});
    N1Click(ctx, grids, kPageBcn, {1, 7, 4, 7});
    EXPECT_FALSE(link->FlagReWritePCN);
    EXPECT_FALSE(link->FlagReWriteBCN);
    EXPECT_EQ(grids.SG_PCN.Cell(2, 7), "0,666666666666667");
}

TEST_F(TableMenu, OnLinePcnSmoothingUsesTheLearningSmoothingThenRequestsWrites) {
    Connect();
    ctx.radios.RadioRam = true;
    int smoothed = 0;
    ctx.SmoothPcnTable = [&] { ++smoothed; };
    N3Click(ctx, grids, kPagePcn);
    EXPECT_EQ(smoothed, 1);
    EXPECT_EQ(grids.SG_PCN.Cell(2, 5), "0");  // the grid is left to SmoothPcnTable
    EXPECT_TRUE(link->FlagRewraitePCN_RAM);
    EXPECT_EQ(link->RAM.ID, 0x04);
}

}  // namespace
}  // namespace veltrano::test
