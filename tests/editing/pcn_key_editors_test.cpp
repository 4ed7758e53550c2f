#include <gtest/gtest.h>

#include "calibration/table_catalogue.h"
#include "edit_fixture.h"
#include "editing/key_editors.h"

namespace veltrano::test {
namespace {

class PcnKeys : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        Fill(grids.SG_PCN, 16, [](int, int) { return "1"; });
    }
    void Press(char32_t key, GridSelection sel = {3, 2, 3, 2}) {
        SG_PCNKeyPress(ctx, grids.SG_PCN, sel, key);
    }
};

TEST_F(PcnKeys, OfflinePlusStepsTheTextByHundredths) {
    for (int i = 0; i < 3; ++i)
        Press(U'+');
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "1,03");
    Press(U'в');
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "1,02");
    EXPECT_EQ(grids.SG_PCN.Cell(4, 2), "1");
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(PcnKeys, OfflineTextStepsHaveNoLimit) {
    grids.SG_PCN.SetCell(3, 2, "0");
    Press(U'-');
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "-0,01");
}

TEST_F(PcnKeys, OnlineStepsTheLinkByteAndMirrorsItIntoTheImage) {
    Connect();
    const int i = (2 - 1) * 16 + (3 - 1);
    link->TablePCN[i] = 130;
    grids.SG_PCN.SetCell(3, 2, "1,02");
    Press(U'+');
    EXPECT_EQ(link->TablePCN[i], 131);
    EXPECT_EQ(firmware.FFirmwareData[0x7CF7 + i], 131);
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "1,02");  // 131 / 128 = 1.0234
    Press(U'-');
    Press(U'-');
    EXPECT_EQ(link->TablePCN[i], 129);
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "1,01");
}

TEST_F(PcnKeys, OnlineByteStepsStopAtTheByteRange) {
    Connect();
    link->TablePCN[0] = 255;
    link->TablePCN[1] = 0;
    Press(U'+', {1, 1, 1, 1});
    EXPECT_EQ(link->TablePCN[0], 255);
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "1,99");
    Press(U'-', {2, 1, 2, 1});
    EXPECT_EQ(link->TablePCN[1], 0);
    EXPECT_EQ(grids.SG_PCN.Cell(2, 1), "0,00");
}

TEST_F(PcnKeys, OnlineSelectionStepsEveryNonEmptyCell) {
    Connect();
    grids.SG_PCN.SetCell(2, 3, "");
    link->TablePCN.fill(128);
    Press(U'+', {1, 2, 2, 3});
    EXPECT_EQ(link->TablePCN[16], 129);  // (1, 2)
    EXPECT_EQ(link->TablePCN[17], 129);  // (2, 2)
    EXPECT_EQ(link->TablePCN[32], 129);  // (1, 3)
    EXPECT_EQ(link->TablePCN[33], 128);  // (2, 3) is empty: skipped
    EXPECT_EQ(link->TablePCN[0], 128);
}

TEST_F(PcnKeys, UnusedKeyGivesTheMessageThenItsCode) {
    Press(U'\r');
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"клавиша не используется", "13"}));
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "1");
}

TEST_F(PcnKeys, WalkGoesDownEachColumnAndStopsAtANonNumber) {
    grids.SG_PCN.SetCell(2, 2, "abc");
    Press(U'+', {1, 1, 3, 3});
    // Column 1 entirely, then (2, 1), then the bad cell stops the walk.
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "1,01");
    EXPECT_EQ(grids.SG_PCN.Cell(1, 3), "1,01");
    EXPECT_EQ(grids.SG_PCN.Cell(2, 1), "1,01");
    EXPECT_EQ(grids.SG_PCN.Cell(2, 3), "1");
    EXPECT_EQ(grids.SG_PCN.Cell(3, 1), "1");
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_NE(messages.entries[0].text.find("abc"), std::string::npos);
}

TEST_F(PcnKeys, WriteRequestsFollowTheRadios) {
    const struct {
        bool olt, ram, dad;
        bool wantOlt, wantRam;
        int ramId;
    } cases[] = {
        {false, false, false, false, false, 0},  {true, false, false, true, false, 0},
        {false, true, false, false, true, 0x04}, {false, true, true, false, true, 0x13},
        {true, true, true, true, true, 0x13},
    };
    for (const auto& c : cases) {
        Connect();
        learning.calls.clear();
        ctx.radios = {c.olt, c.ram, false};
        layout.FlagDAD = c.dad;
        Press(U'+');
        EXPECT_EQ(link->FlagReWritePCN.load(), c.wantOlt);
        EXPECT_EQ(link->FlagRewraitePCN_RAM.load(), c.wantRam);
        EXPECT_EQ(link->RAM.ID, c.ramId);
        std::vector<PcnRewrite> want;
        if (c.wantOlt)
            want.push_back(PcnRewrite::Olt);
        if (c.wantRam)
            want.push_back(PcnRewrite::Ram);
        EXPECT_EQ(learning.calls, want);
    }
}

TEST_F(PcnKeys, EveryKeyRequestsTheWriteEvenAnUnusedOne) {
    Connect();
    ctx.radios.RadioOlt = true;
    Press(U'x');
    EXPECT_TRUE(link->FlagReWritePCN);
}

TEST_F(PcnKeys, NoLinkObjectMeansNoRequests) {
    ctx.radios = {true, true, false};
    Press(U'+');
    EXPECT_EQ(grids.SG_PCN.Cell(3, 2), "1,01");
    EXPECT_TRUE(learning.calls.empty());
}

TEST_F(PcnKeys, ANonNumberQueuesNoWrite) {
    Connect();
    ctx.radios = {true, true, false};
    grids.SG_PCN.SetCell(3, 2, "x");
    Press(U'i', {1, 2, 3, 2});  // interpolation re-encodes the whole table on line
    EXPECT_FALSE(link->FlagReWritePCN);
    EXPECT_FALSE(link->FlagRewraitePCN_RAM);
    EXPECT_TRUE(learning.calls.empty());
    EXPECT_EQ(messages.entries.size(), 1u);
}

TEST_F(PcnKeys, OnlineInterpolationKeyReencodesTheWholeTable) {
    Connect();
    ctx.radios.RadioOlt = true;
    grids.SG_PCN.SetCell(1, 5, "0,99");
    grids.SG_PCN.SetCell(5, 5, "1,03");
    Press(U'ш', {1, 5, 5, 5});
    // 0.99, 1, 1.01, 1.02, 1.03 -> bytes 127, 128, 129, 131, 132 (round half to even).
    const int want[] = {127, 128, 129, 131, 132};
    for (int c = 1; c <= 5; ++c) {
        const std::size_t i = 4 * 16 + (c - 1);
        EXPECT_EQ(link->TablePCN[i], want[c - 1]) << c;
        EXPECT_EQ(firmware.FFirmwareData[0x7CF7 + i], want[c - 1]) << c;
    }
    EXPECT_EQ(grids.SG_PCN.Cell(1, 5), "0,9921875");
    EXPECT_EQ(link->TablePCN[0], 128);  // cells outside the selection too
    EXPECT_TRUE(link->FlagReWritePCN);
}

// Decoded from every byte value, the table holds the 56 bytes whose text does not encode back.
TEST_F(PcnKeys, OnlineInterpolationGivesNewBytesOnlyToTheCellsItChanged) {
    for (int k = 0; k < 256; ++k)
        firmware.FFirmwareData[0x7CF7 + k] = static_cast<std::uint8_t>(k);
    GetPCN(firmware, grids.SG_PCN, 0x7CF7, ',');
    Connect();
    link->WithTables([&](TOBDII& l) {
        std::copy_n(firmware.FFirmwareData.begin() + 0x7CF7, 256, l.TablePCN.begin());
    });
    grids.SG_PCN.SetCell(6, 3, "1");
    const TextGrid before = grids.SG_PCN;
    Press(U'i', {2, 3, 6, 4});  // rows 3 and 4 between columns 2 and 6
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c) {
            const std::size_t i = (r - 1) * 16 + (c - 1);
            const bool changed = (r == 3 || r == 4) && c >= 3 && (c <= 5 || r == 3);
            if (changed && c <= 6) {
                EXPECT_EQ(grids.SG_PCN.ShownByte(c, r), link->TablePCN[i]) << c << "," << r;
                EXPECT_EQ(firmware.FFirmwareData[0x7CF7 + i], link->TablePCN[i]);
                continue;
            }
            EXPECT_EQ(link->TablePCN[i], i) << c << "," << r;
            EXPECT_EQ(firmware.FFirmwareData[0x7CF7 + i], i) << c << "," << r;
            EXPECT_EQ(grids.SG_PCN.Cell(c, r), before.Cell(c, r)) << c << "," << r;
        }
    }
    // 0,26 .. 1 along row 3: 0,445 and 1 give bytes 57 and 128.
    EXPECT_EQ(link->TablePCN[2 * 16 + 2], 57);
    EXPECT_EQ(link->TablePCN[2 * 16 + 5], 128);
}

TEST_F(PcnKeys, InterpolationAlongYKeyOffline) {
    grids.SG_PCN.SetCell(4, 1, "1");
    grids.SG_PCN.SetCell(4, 3, "2");
    Press(U'P', {4, 1, 4, 3});
    EXPECT_EQ(grids.SG_PCN.Cell(4, 2), "1,5");
}

class Pcn32Keys : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        Fill(grids.SG_PCN_32x32, 32, [](int, int) { return "1"; });
    }
};

TEST_F(Pcn32Keys, OnlineByteIndexUsesRowsOf32) {
    Connect();
    ctx.radios = {true, true, false};
    const std::size_t i = (3 - 1) * 32 + (20 - 1);
    link->TablePcn_32x32[i] = 100;
    SG_PCN_32x32KeyPress(ctx, grids.SG_PCN_32x32, {20, 3, 20, 3}, U'a');
    EXPECT_EQ(link->TablePcn_32x32[i], 101);
    EXPECT_EQ(firmware.FFirmwareData[0x9294 + i], 101);
    EXPECT_EQ(grids.SG_PCN_32x32.Cell(20, 3), "0,79");
    EXPECT_TRUE(link->FlagRewritePcn_32x32);
    EXPECT_FALSE(link->FlagRewraitePCN_RAM);  // no RAM write for this table
    EXPECT_EQ(learning.calls, std::vector<PcnRewrite>{PcnRewrite::Olt});
}

TEST_F(Pcn32Keys, OnlineInterpolationCoversAll32By32Cells) {
    Connect();
    grids.SG_PCN_32x32.SetCell(32, 32, "0,5");
    SG_PCN_32x32KeyPress(ctx, grids.SG_PCN_32x32, {31, 32, 32, 32}, U'I');
    EXPECT_EQ(link->TablePcn_32x32[1023], 64);
    EXPECT_EQ(link->TablePcn_32x32[0], 128);
    EXPECT_EQ(firmware.FFirmwareData[0x9294 + 1023], 64);
}

}  // namespace
}  // namespace veltrano::test
