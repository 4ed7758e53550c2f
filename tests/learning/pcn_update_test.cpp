#include <gtest/gtest.h>

#include "calibration/table_catalogue.h"
#include "common/text_forms.h"
#include "learning/pcn_update.h"
#include "tests/learning/fake_link.h"

namespace veltrano {
namespace {

constexpr char kSep = ',';

double Cell(const TextGrid& g, int c, int r) {
    return ParseNumber(g.Cell(c, r), kSep).value();
}

class PcnUpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int c = 1; c <= 16; ++c) {
            for (int r = 1; r <= 16; ++r) {
                pcn.SetCell(c, r, "1");
                bcn.SetCell(c, r, "100");
                rt.SetCell(c, r, "0");
            }
        }
        target.target = WriteTarget::Olt;
        target.layoutStartAddrPCN = 0x9294;
    }
    // One update at cell (c, r) with the given coefficient; weights as logged by samples.
    void Update(int c, int r, double L, CellWeights w = {0.56, 0.14, 0.24, 0.06}) {
        s.op.RPM_RT = c;
        s.op.LoadIndex = r;
        s.PcnInterp = 1.0;
        s.WeightLog = {{{w.W00}, {w.W10}, {w.W01}, {w.W11}}};
        conn.LambdaCoeff = L;
        conn.frac.RpmFrac = 0.2;
        conn.frac.LoadFrac = 0.3;
        RunPcnUpdate(s, conn, target, 120, grids, link, kSep);
    }

    TextGrid pcn{17, 17}, bcn{17, 17}, rt{17, 17}, lam{17, 17};
    PcnGrids grids{pcn, bcn, rt, lam};
    ProgramLearningState s;
    ConnectionLearningState conn;
    UpdateTarget target;
    FakeLink link;
};

TEST_F(PcnUpdateTest, ExactCoefficientNudgesBcnCountsHitsAndPullsOutliers) {
    pcn.SetCell(4, 5, "1,2");   // left neighbour far from PcnInterp: pulled
    pcn.SetCell(6, 5, "1,05");  // right neighbour close to it: kept
    Update(5, 5, 1.0);
    EXPECT_EQ(pcn.Cell(4, 5), "1");
    EXPECT_EQ(pcn.Cell(6, 5), "1,05");
    EXPECT_EQ(pcn.Cell(5, 5), "1");
    EXPECT_EQ(bcn.Cell(5, 5), "110");  // (100 + (2 - 1) * 120) / 2
    EXPECT_EQ(bcn.Cell(6, 5), "120");  // 2 * 110 - 100
    EXPECT_EQ(rt.Cell(5, 5), "1");
    for (auto [c, r] : {std::pair{5, 5}, {6, 5}, {5, 6}, {6, 6}})
        EXPECT_EQ(s.LearnHits[c][r], 1);
    EXPECT_EQ(s.LearnHits[4][5], 0);
    EXPECT_EQ(s.count_log, 0);
    EXPECT_TRUE(s.WeightLog[0].empty());
}

TEST_F(PcnUpdateTest, LargeErrorSetsFourCellsThenPullsThreeByTheirFactors) {
    Update(5, 5, 1.3);
    EXPECT_NEAR(Cell(pcn, 5, 5), 1 + 0.3 * 0.56, 1e-12);
    EXPECT_NEAR(Cell(pcn, 6, 5), 1 + 0.3 * 0.14, 1e-12);
    EXPECT_NEAR(Cell(pcn, 5, 6), 1 + 0.3 * 0.24, 1e-12);
    EXPECT_NEAR(Cell(pcn, 6, 6), 1.3, 1e-12);  // the diagonal keeps PcnInterp * L
    EXPECT_EQ(pcn.Cell(4, 5), "1");
    EXPECT_EQ(bcn.Cell(5, 5), "100");  // no BCN nudge, no hits outside their bands
    EXPECT_EQ(s.LearnHits[5][5], 0);
    EXPECT_EQ(rt.Cell(5, 5), "1");
}

TEST_F(PcnUpdateTest, MediumErrorScalesFourCellsOnly) {
    Update(5, 5, 0.85);
    EXPECT_NEAR(Cell(pcn, 5, 5), 1 - 0.15 * 0.56, 1e-12);
    EXPECT_NEAR(Cell(pcn, 6, 5), 1 - 0.15 * 0.14, 1e-12);
    EXPECT_NEAR(Cell(pcn, 5, 6), 1 - 0.15 * 0.24, 1e-12);
    EXPECT_NEAR(Cell(pcn, 6, 6), 1 - 0.15 * 0.06, 1e-12);
    EXPECT_EQ(bcn.Cell(5, 5), "100");
    EXPECT_EQ(s.LearnHits[5][5], 0);
}

TEST_F(PcnUpdateTest, SmallErrorChangesOnlyTheNearestCell) {
    conn.frac = {};
    Update(5, 5, 1.02);
    EXPECT_NEAR(Cell(pcn, 5, 5), 1 + 0.02 * 0.56, 1e-12);
    EXPECT_EQ(pcn.Cell(6, 5), "1");
    EXPECT_EQ(pcn.Cell(5, 6), "1");
    EXPECT_EQ(pcn.Cell(6, 6), "1");
}

TEST_F(PcnUpdateTest, NeighboursBeyondTheTableAreSkipped) {
    Update(16, 16, 1.3);
    EXPECT_NEAR(Cell(pcn, 16, 16), 1 + 0.3 * 0.56, 1e-12);
    EXPECT_EQ(pcn.Cell(15, 16), "1");  // left neighbour close enough: not pulled
    EXPECT_EQ(pcn.Cell(16, 15), "1");
    EXPECT_EQ(pcn.Cell(1, 1), "1");
    EXPECT_EQ(bcn.Cell(16, 16), "100");

    pcn.SetCell(2, 1, "1,5");
    Update(1, 1, 1.0);
    EXPECT_EQ(pcn.Cell(2, 1), "1");    // right neighbour pulled
    EXPECT_EQ(bcn.Cell(1, 1), "110");  // no extrapolation at the first column
    EXPECT_EQ(bcn.Cell(2, 1), "100");
}

TEST_F(PcnUpdateTest, LimitsAreStoredAsBytes243And26AndOltWriteIsRequested) {
    pcn.SetCell(10, 10, "1,95");
    pcn.SetCell(11, 12, "0,1");
    Update(5, 5, 1.0);
    EXPECT_EQ(pcn.Cell(10, 10), "1,9");
    EXPECT_EQ(pcn.Cell(11, 12), "0,2");
    const LinkTables t = link.Tables();
    EXPECT_EQ(t.TablePCN[(10 - 1) * 16 + 9], 243);
    EXPECT_EQ(t.TablePCN[(12 - 1) * 16 + 10], 26);
    EXPECT_EQ(t.TablePCN[0], 128);
    EXPECT_EQ(t.StartAddrPCN, 0x9294);
    EXPECT_EQ(link.Raised(LinkRequest::PCN), 1);
    EXPECT_EQ(link.Raised(LinkRequest::PCN_RAM), 0);
    EXPECT_EQ(s.OltRewriteMark, 1);
    EXPECT_EQ(s.RamRewriteMark, 0);
}

TEST_F(PcnUpdateTest, RamTargetUsesTheSubstitutionCodeOfTheGrid) {
    for (bool dad : {true, false}) {
        target.target = WriteTarget::RamPcn;
        target.flagPcnGridDad = dad;
        Update(5, 5, 1.0);
        EXPECT_EQ(link.Tables().RamId, dad ? 0x13 : 0x04);
    }
    EXPECT_EQ(link.Raised(LinkRequest::PCN_RAM), 2);
    EXPECT_EQ(link.Raised(LinkRequest::PCN), 0);
    EXPECT_EQ(s.RamRewriteMark, 1);
}

TEST_F(PcnUpdateTest, EveryTwentyFirstUpdateSmoothsWhenSwitchedOn) {
    link.WithTables([](LinkTables& t) { t.TablePCN.fill(128); });
    target.autoSmoothing = false;
    s.SmoothCount = 20;
    Update(5, 5, 1.3);
    EXPECT_EQ(s.SmoothCount, 0);  // the counter runs and resets either way
    EXPECT_NE(pcn.Cell(5, 5), "1,00");

    link.WithTables([](LinkTables& t) { t.TablePCN.fill(128); });
    target.autoSmoothing = true;
    s.SmoothCount = 20;
    Update(5, 5, 1.3);
    // The grid now shows the smoothed earlier table; this update's changes are gone.
    EXPECT_EQ(pcn.Cell(5, 5), "1,00");
    EXPECT_EQ(pcn.Cell(6, 6), "1,00");
    EXPECT_EQ(link.Tables().TablePCN[4 * 16 + 4], 128);
}

TEST(SmoothPcnTable, LoadPassWorksInPlace) {
    std::array<std::uint8_t, 256> t;
    t.fill(100);
    for (int r = 1; r <= 3; ++r)
        t[(r - 1) * 16] = 0;  // column 1, rows 1..3
    CellCounts hits;
    FillCounts(hits, 3);
    for (int r = 1; r <= 16; ++r)
        hits[1][r] = 0;  // only column 1 may change
    TextGrid pcn(17, 17);
    SmoothPcnTable(t, hits, pcn, kSep);
    const int expected[] = {0, 0, 50, 75, 88, 94, 97, 98, 99, 100};  // 87.5 -> 88, 98.5 -> 98
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(t[(r - 1) * 16], expected[r - 1]) << "row " << r;
    EXPECT_EQ(t[15 * 16], 100);  // last row untouched by the load pass
    EXPECT_EQ(pcn.Cell(1, 3), "0,39");
    EXPECT_EQ(pcn.Cell(1, 1), "0,00");
    EXPECT_EQ(pcn.Cell(2, 1), "0,78");
}

TEST(SmoothPcnTable, SpeedPassWorksInPlaceAndSparesWellLearnedCells) {
    std::array<std::uint8_t, 256> t;
    t.fill(100);
    t[0] = 0;  // cell [1, 1]
    CellCounts hits;
    FillCounts(hits, 0);
    hits[4][1] = 3;  // learned three times: keeps its byte
    TextGrid pcn(17, 17);
    SmoothPcnTable(t, hits, pcn, kSep);
    EXPECT_EQ(t[0], 0);   // first column: only the load pass could change it, not row 1
    EXPECT_EQ(t[1], 50);  // [2, 1] = (0 + 100) / 2
    EXPECT_EQ(t[2], 75);  // [3, 1] sees the new [2, 1]
    EXPECT_EQ(t[3], 100);
    EXPECT_EQ(t[15], 100);
}

TEST(SmoothPcnTable, RefreshedCellsStandForTheirNewBytesEvenWhenTheTextIsTheSame) {
    std::array<std::uint8_t, 256> t;
    t.fill(125);  // "0,98"
    t[0] = 127;
    TextGrid pcn(17, 17);
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c)
            pcn.SetDecoded(c, r, "0,98", 125);
    }
    CellCounts hits;
    FillCounts(hits, 3);
    hits[2][1] = 0;  // only [2, 1] is smoothed: (127 + 125) / 2 = 126, still shown "0,98"
    SmoothPcnTable(t, hits, pcn, kSep);
    ASSERT_EQ(t[1], 126);
    EXPECT_EQ(pcn.Cell(2, 1), "0,98");
    EXPECT_EQ(EncodeTableBytes(pcn, TableScale::Pcn, 16, 1, kSep).bytes[1], 126);
}

}  // namespace
}  // namespace veltrano
