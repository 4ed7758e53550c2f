#include <gtest/gtest.h>

#include "calibration/table_catalogue.h"

#include "edit_fixture.h"
#include "editing/key_editors.h"

namespace veltrano::test {
namespace {

class TableKeys : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        Fill(grids.SG_BCN, 16, [](int, int) { return "80"; });  // byte 30
        Fill(grids.SG_UOZ, 16, [](int, int) { return "10"; });  // byte 20
        Fill(grids.SG_AFR, 16, [](int, int) { return "14,7"; });
    }
};

TEST_F(TableKeys, TextStepsPerGrid) {
    const struct {
        const char* name;
        TextGrid* grid;
        void (*press)(EditContext&, TextGrid&, const GridSelection&, char32_t);
        char32_t key;
        const char* want;
    } cases[] = {
        {"BCN +", &grids.SG_BCN, SG_BCNKeyPress, U'=', "85"},
        {"BCN -", &grids.SG_BCN, SG_BCNKeyPress, U'_', "75"},
        {"UOZ +", &grids.SG_UOZ, SG_UOZKeyPress, U'ф', "10,5"},
        {"UOZ -", &grids.SG_UOZ, SG_UOZKeyPress, U'd', "9,5"},
        {"AFR +", &grids.SG_AFR, SG_AFRKeyPress, U'a', "14,75"},
        {"AFR -", &grids.SG_AFR, SG_AFRKeyPress, U'в', "14,65"},
    };
    for (const auto& c : cases) {
        const std::string before = c.grid->Cell(5, 5);
        c.press(ctx, *c.grid, {5, 5, 5, 5}, c.key);
        EXPECT_EQ(c.grid->Cell(5, 5), c.want) << c.name;
        c.grid->SetCell(5, 5, before);
    }
}

TEST_F(TableKeys, BcnMinusOverTwoByThreeRequestsOneWrite) {
    Connect();
    ctx.radios.RadioOlt = true;
    SG_BCNKeyPress(ctx, grids.SG_BCN, {2, 4, 3, 6}, U'-');
    for (int c = 1; c <= 4; ++c) {
        for (int r = 3; r <= 7; ++r) {
            const bool in = c >= 2 && c <= 3 && r >= 4 && r <= 6;
            EXPECT_EQ(grids.SG_BCN.Cell(c, r), in ? "75" : "80") << c << "," << r;
        }
    }
    EXPECT_TRUE(link->FlagReWriteBCN);
    EXPECT_EQ(link->TableBCN[(4 - 1) * 16 + 1], 28);  // 75 / 8 * 3 = 28.125
    EXPECT_EQ(link->TableBCN[0], 30);
}

TEST_F(TableKeys, BcnQueuesOnlyOnLineInOltMode) {
    ctx.radios.RadioOlt = true;
    SG_BCNKeyPress(ctx, grids.SG_BCN, {1, 1, 1, 1}, U'+');  // no link object
    Connect();
    ctx.radios.RadioOlt = false;
    ctx.radios.RadioRam = true;
    SG_BCNKeyPress(ctx, grids.SG_BCN, {1, 1, 1, 1}, U'+');
    EXPECT_FALSE(link->FlagReWriteBCN);
    EXPECT_EQ(grids.SG_BCN.Cell(1, 1), "90");
}

TEST_F(TableKeys, UozUnusedKeyChangesAndRequestsNothing) {
    Connect();
    for (WriteModeRadios radios : {WriteModeRadios{true, false, false},
                                   WriteModeRadios{false, false, true}, WriteModeRadios{}}) {
        ctx.radios = radios;
        SG_UOZKeyPress(ctx, grids.SG_UOZ, {1, 1, 16, 16}, U'x');
    }
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), "10");
    EXPECT_FALSE(link->FlagReWriteUoz);
    EXPECT_FALSE(link->FlagRewraiteUOZ_DAD_RAM);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(TableKeys, UozStepsTheBaseCurveRowToo) {
    grids.SG_UOZ.SetCell(4, 17, "12");
    SG_UOZKeyPress(ctx, grids.SG_UOZ, {4, 16, 4, 17}, U'+');
    EXPECT_EQ(grids.SG_UOZ.Cell(4, 16), "10,5");
    EXPECT_EQ(grids.SG_UOZ.Cell(4, 17), "12,5");
}

TEST_F(TableKeys, UozRequestsByRadio) {
    const struct {
        WriteModeRadios radios;
        bool dadUozAfr;
        bool olt, ram;
        int ramId;
    } cases[] = {
        {{true, false, false}, false, true, false, 0},
        {{false, false, true}, false, false, true, 0x05},
        {{false, false, true}, true, false, true, 0x12},
        {{false, true, false}, true, false, false, 0},
    };
    for (const auto& c : cases) {
        Connect();
        ctx.radios = c.radios;
        layout.FlagDadUozAfr = c.dadUozAfr;
        grids.SG_UOZ.SetCell(1, 1, "10");
        SG_UOZKeyPress(ctx, grids.SG_UOZ, {1, 1, 1, 1}, U'+');
        EXPECT_EQ(link->FlagReWriteUoz.load(), c.olt);
        EXPECT_EQ(link->FlagRewraiteUOZ_DAD_RAM.load(), c.ram);
        EXPECT_EQ(link->RAM.ID, c.ramId);
        if (c.olt || c.ram) {
            EXPECT_EQ(link->TableUOZ[0], 21);  // 10.5 degrees
        }
    }
}

TEST_F(TableKeys, AfrIsNeverQueued) {
    Connect();
    ctx.radios = {true, true, true};
    SG_AFRKeyPress(ctx, grids.SG_AFR, {1, 1, 1, 1}, U'+');
    EXPECT_FALSE(link->FlagReWriteAFR);
    EXPECT_EQ(grids.SG_AFR.Cell(1, 1), "14,75");
}

TEST_F(TableKeys, NonNumberInStoredTableQueuesNothing) {
    Connect();
    ctx.radios.RadioOlt = true;
    grids.SG_BCN.SetCell(16, 16, "?");
    SG_BCNKeyPress(ctx, grids.SG_BCN, {1, 1, 1, 1}, U'+');
    EXPECT_EQ(grids.SG_BCN.Cell(1, 1), "85");
    EXPECT_FALSE(link->FlagReWriteBCN);
    EXPECT_EQ(messages.entries.size(), 1u);
}

class InjectorDynamicKeys : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        for (int k = 0; k < 16; ++k)
            grids.RzStringGrid1.SetCell(k, 1, "1");
    }
    void Press(char32_t key, int col = 2) {
        RzStringGrid1KeyPress(ctx, grids.RzStringGrid1, {col, 1, col, 1}, key);
    }
};

TEST_F(InjectorDynamicKeys, OnlyThePlainSignsStep) {
    Press(U'+');
    EXPECT_EQ(grids.RzStringGrid1.Cell(2, 1), "1,01");
    Press(U'-');
    Press(U'-');
    EXPECT_EQ(grids.RzStringGrid1.Cell(2, 1), "0,99");
    Press(U'a');
    Press(U'=');
    EXPECT_EQ(grids.RzStringGrid1.Cell(2, 1), "0,99");
}

TEST_F(InjectorDynamicKeys, OnLineInOltModeWritesTheSixteenBytes) {
    Connect();
    link->FlagOLT = true;
    Press(U'+');
    ASSERT_EQ(link->TableOLT.size(), 16u);
    EXPECT_EQ(link->StartAddrTableOLT, 0x71D8);
    EXPECT_TRUE(link->FlagRewraiteTableOLT);
    EXPECT_EQ(link->TableOLT[0], 125);  // 1 / 0.008
    EXPECT_EQ(link->TableOLT[2], 126);  // 1.01 / 0.008 = 126.25
    EXPECT_EQ(firmware.FFirmwareData[0x71D8 + 2], 126);
}

TEST_F(InjectorDynamicKeys, OnLineUnchangedCellsKeepTheirBytes) {
    for (int k = 0; k < 16; ++k)
        firmware.FFirmwareData[0x71D8 + k] = 3;  // shown 0,02, which encodes back to 2
    GetINJTIME(firmware, grids.RzStringGrid1, 0x71D8, ',');
    Connect();
    link->FlagOLT = true;
    Press(U'+');
    ASSERT_EQ(link->TableOLT.size(), 16u);
    EXPECT_EQ(link->TableOLT[2], 4);  // 0,03 / 0,008 = 3.75
    for (int k : {0, 1, 3, 15}) {
        EXPECT_EQ(link->TableOLT[k], 3) << k;
        EXPECT_EQ(firmware.FFirmwareData[0x71D8 + k], 3) << k;
    }
}

TEST_F(InjectorDynamicKeys, AnyKeyQueuesOnLineButNotWithoutOltMode) {
    Connect();
    Press(U'x');
    EXPECT_FALSE(link->FlagRewraiteTableOLT);
    link->FlagOLT = true;
    Press(U'x');
    EXPECT_TRUE(link->FlagRewraiteTableOLT);
    EXPECT_EQ(grids.RzStringGrid1.Cell(2, 1), "1");
}

TEST_F(InjectorDynamicKeys, APendingSmallTableWriteIsNotOverwritten) {
    Connect();
    link->FlagOLT = true;
    link->RequestWrite(WriteRequest::TableOLT, std::vector<std::uint8_t>{7, 8}, 0x60AB);
    Press(U'+');
    EXPECT_EQ(grids.RzStringGrid1.Cell(2, 1), "1");
    EXPECT_EQ(link->StartAddrTableOLT, 0x60AB);
    EXPECT_EQ(link->TableOLT, (std::vector<std::uint8_t>{7, 8}));
}

}  // namespace
}  // namespace veltrano::test
