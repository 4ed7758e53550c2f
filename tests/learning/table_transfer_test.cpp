#include <gtest/gtest.h>

#include "learning/table_transfer.h"
#include "tests/learning/fake_link.h"

namespace veltrano {
namespace {

constexpr char kSep = ',';

TEST(StoreTables, GridValuesBecomeBytes) {
    CalibrationGrids grids;
    for (TextGrid* g : {&grids.SG_PCN, &grids.SG_AFR, &grids.SG_UOZ, &grids.SG_BCN}) {
        for (int c = 1; c <= 16; ++c) {
            for (int r = 1; r <= 16; ++r)
                g->SetCell(c, r, "1");
        }
    }
    const struct {
        TextGrid* grid;
        const char* text;
        int byte;
    } cases[] = {
        {&grids.SG_PCN, "1", 128},    {&grids.SG_PCN, "0,5", 64},  {&grids.SG_PCN, "2,5", 255},
        {&grids.SG_AFR, "14,7", 128}, {&grids.SG_UOZ, "12,5", 25}, {&grids.SG_BCN, "80", 30},
    };
    for (const auto& c : cases) {
        c.grid->SetCell(3, 2, c.text);
        LinkTables t;
        std::optional<CellError> error;
        if (c.grid == &grids.SG_PCN)
            error = StorePcnTable(grids.SG_PCN, t, kSep);
        if (c.grid == &grids.SG_AFR)
            error = StoreAfrTable(grids.SG_AFR, t, kSep);
        if (c.grid == &grids.SG_UOZ)
            error = StoreUozTable(grids.SG_UOZ, t, kSep);
        if (c.grid == &grids.SG_BCN)
            error = StoreBcnTable(grids.SG_BCN, t, 1, kSep);
        ASSERT_FALSE(error) << c.text;
        const auto& bytes = c.grid == &grids.SG_PCN   ? t.TablePCN
                            : c.grid == &grids.SG_AFR ? t.TableAFR
                            : c.grid == &grids.SG_UOZ ? t.TableUOZ
                                                      : t.TableBCN;
        EXPECT_EQ(bytes[(2 - 1) * 16 + (3 - 1)], c.byte) << c.text;
    }
}

TEST(StoreTables, CellThatIsNotANumberStoresNothing) {
    CalibrationGrids grids;
    for (int c = 1; c <= 16; ++c) {
        for (int r = 1; r <= 16; ++r)
            grids.SG_PCN.SetCell(c, r, "1");
    }
    grids.SG_PCN.SetCell(7, 9, "abc");
    LinkTables t;
    const auto error = StorePcnTable(grids.SG_PCN, t, kSep);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->col, 7);
    EXPECT_EQ(error->row, 9);
    EXPECT_EQ(t.TablePCN[0], 0);
}

class ApplyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (TextGrid* g : {&grids.SG_PCN, &grids.SG_AFR, &grids.SG_UOZ, &grids.SG_BCN}) {
            for (int c = 1; c <= 16; ++c) {
                for (int r = 1; r <= 16; ++r)
                    g->SetCell(c, r, "1");
            }
        }
        for (int i = 0; i < 16; ++i)
            grids.RzStringGrid1.SetCell(i, 1, "1");
        in.firmwareLoaded = true;
        in.sep = kSep;
    }
    ApplyResult Apply(int page, WriteTarget target, bool olt) {
        link.olt = olt;
        in.page = page;
        in.target = target;
        return ApplyChanges(in, grids, &link);
    }
    CalibrationGrids grids;
    FakeLink link;
    ApplyInputs in;
};

TEST_F(ApplyTest, RequestsByPageAndTarget) {
    using R = std::vector<LinkRequest>;
    const struct {
        int page;
        WriteTarget target;
        bool olt;
        R raised;
    } cases[] = {
        {kPagePCN, WriteTarget::RamPcn, false, R{LinkRequest::PCN_RAM}},
        {kPagePCN, WriteTarget::RamPcn, true, R{LinkRequest::PCN_RAM, LinkRequest::PCN}},
        {kPagePCN, WriteTarget::RamUoz, true, R{}},  // stops the whole operation
        {kPageUOZ, WriteTarget::RamPcn, true, R{}},  // also no OLT part
        {kPageUOZ, WriteTarget::RamUoz, false, R{LinkRequest::UOZ_DAD_RAM}},
        {kPageUOZ, WriteTarget::Olt, true, R{LinkRequest::UOZ}},
        {kPageUOZ, WriteTarget::None, true, R{}},
        {kPageBCN, WriteTarget::Olt, true, R{LinkRequest::BCN}},
        {kPageAFR, WriteTarget::None, true, R{LinkRequest::AFR}},
        {kPageAFR, WriteTarget::Olt, false, R{}},
        {kPageDATA, WriteTarget::Olt, true, R{LinkRequest::TableOLT}},
        {4, WriteTarget::Olt, true, R{}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Apply(c.page, c.target, c.olt).raised, c.raised)
            << "page " << c.page << " target " << static_cast<int>(c.target) << " olt " << c.olt;
    }
}

TEST_F(ApplyTest, RamUozUsesTheSubstitutionCode) {
    for (bool dadUozAfr : {true, false}) {
        in.flagDadUozAfr = dadUozAfr;
        Apply(kPageUOZ, WriteTarget::RamUoz, false);
        EXPECT_EQ(link.Tables().RamId, dadUozAfr ? 0x12 : 0x05);
    }
}

TEST_F(ApplyTest, InjectorPageBytesAreClampedToAByte) {
    grids.RzStringGrid1.SetCell(0, 1, "1");
    grids.RzStringGrid1.SetCell(1, 1, "2,04");
    grids.RzStringGrid1.SetCell(2, 1, "3");
    ASSERT_EQ(Apply(kPageDATA, WriteTarget::Olt, true).raised, std::vector{LinkRequest::TableOLT});
    const LinkTables t = link.Tables();
    ASSERT_EQ(t.TableOLT.size(), 16u);
    EXPECT_EQ(t.TableOLT[0], 125);
    EXPECT_EQ(t.TableOLT[1], 255);
    EXPECT_EQ(t.TableOLT[2], 255);
    EXPECT_EQ(t.StartAddrTableOLT, 0x71D8);
}

TEST_F(ApplyTest, NothingWithoutImageOrLinkOrWithABadCell) {
    in.firmwareLoaded = false;
    EXPECT_TRUE(Apply(kPagePCN, WriteTarget::RamPcn, true).raised.empty());
    in.firmwareLoaded = true;
    in.page = kPagePCN;
    in.target = WriteTarget::RamPcn;
    EXPECT_TRUE(ApplyChanges(in, grids, nullptr).raised.empty());
    link.running = false;  // the RAM part does not look at the link's state
    EXPECT_EQ(Apply(kPagePCN, WriteTarget::RamPcn, true).raised, std::vector{LinkRequest::PCN_RAM});
    link.running = true;
    grids.SG_PCN.SetCell(1, 1, "x");
    const ApplyResult r = Apply(kPagePCN, WriteTarget::RamPcn, true);
    EXPECT_TRUE(r.raised.empty());
    EXPECT_TRUE(r.error);
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

TEST(LearningOptions, SpinBoxesKeepTheirLimitsAndDefaults) {
    const LearningOptions start;
    EXPECT_EQ(start.requestDelay, 50);
    EXPECT_EQ(start.learnCoolant, 60);
    EXPECT_EQ(start.hitsPerPoint, 10);
    EXPECT_TRUE(start.skipBelow2Tps);
    EXPECT_EQ(start.target, WriteTarget::None);
    EXPECT_EQ(start.source, LambdaSource::None);
    LearningOptions o;
    o.requestDelay = 5;
    o.learnCoolant = 200;
    o.hitsPerPoint = 1000;
    const LearningOptions c = o.Clamped();
    EXPECT_EQ(c.requestDelay, 10);
    EXPECT_EQ(c.learnCoolant, 120);
    EXPECT_EQ(c.hitsPerPoint, 100);
}

}  // namespace
}  // namespace veltrano
