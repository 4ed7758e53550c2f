#include "editing/uoz_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "edit_fixture.h"

namespace veltrano::test {
namespace {

class Generator : public EditFixture {
  protected:
    void SetUp() override {
        EditFixture::SetUp();
        for (int c = 1; c <= 16; ++c)
            grids.SG_UOZ.SetCell(c, 17, "20");
        Fill(grids.SG_UOZ, 16, [](int, int) { return "7"; });
        Fill(grids.SG_BCN, 16, [](int, int) { return "0"; });
    }
    void Labels(const std::vector<std::string>& labels) {
        for (int r = 1; r <= 16; ++r) {
            grids.SG_UOZ.SetCell(0, r, labels[(r - 1) % labels.size()]);
        }
    }
};

TEST_F(Generator, PressureRowsWithScale400) {
    layout.FlagDadUozAfr = true;
    Labels({"0", "65", "130", "195"});
    Button3Click(ctx, grids, "400");
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), "39");  // 2 x 20 = 40, limited
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 2), "30");
    EXPECT_EQ(grids.SG_UOZ.Cell(16, 3), "20");
    EXPECT_EQ(grids.SG_UOZ.Cell(16, 4), "10");
    EXPECT_EQ(grids.SG_UOZ.Cell(5, 17), "20");     // the base curve stays
    EXPECT_EQ(firmware.FFirmwareData[0x6DC8], 0);  // only the GBC generator writes the image
}

TEST_F(Generator, HalvingTheScaleLowersTheAdvance) {
    layout.FlagDadUozAfr = true;
    Labels({"65"});
    Button3Click(ctx, grids, "200");
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), "20");  // 20 x (2 - 260 / 260)
}

TEST_F(Generator, GbcRowsAndTheImageWrite) {
    layout.FlagGBC = true;
    Labels({"520", "1040", "1300", "0", "130"});
    grids.SG_UOZ.SetCell(2, 17, "12,5");
    Button3Click(ctx, grids, "400");
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), "20");  // exactly the base
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 2), "0");
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 3), "0");  // -10 clamped to 0
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 4), "39");
    EXPECT_EQ(grids.SG_UOZ.Cell(2, 5), "21,9");  // 12.5 x 1.75 = 21.875
    const std::uint8_t* image = &firmware.FFirmwareData[0x6DC8];
    EXPECT_EQ(image[0], 40);
    EXPECT_EQ(image[16], 0);
    EXPECT_EQ(image[32], 0);  // not the low bits of -20
    EXPECT_EQ(image[48], 78);
    EXPECT_EQ(image[4 * 16 + 1], 44);  // round(43.75)
}

TEST_F(Generator, ThrottleImagesTakeTheLoadFromTheBcnCell) {
    Labels({"x"});  // not read
    grids.SG_BCN.SetCell(3, 3, "520");
    grids.SG_BCN.SetCell(3, 4, "260");
    Button3Click(ctx, grids, "400");
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), "39");  // BCN 0: twice the base, limited
    EXPECT_EQ(grids.SG_UOZ.Cell(3, 3), "20");
    EXPECT_EQ(grids.SG_UOZ.Cell(3, 4), "30");
    grids.SG_UOZ.SetCell(4, 17, "15");
    Button3Click(ctx, grids, "400");
    EXPECT_EQ(grids.SG_UOZ.Cell(4, 1), "30");
}

// Where the last bits of the double arithmetic decide a halfway cell, each generator's own
// evaluation order gives the result (E = 400).
TEST_F(Generator, EvaluationOrderDecidesHalfwayCells) {
    const struct {
        const char* name;
        bool dad, gbc;
        const char* load;  // row label, or BCN cell for the throttle generator
        const char* base;
        const char* want;
        int wantByte;  // GBC only
    } cases[] = {
        {"pressure 255 kPa", true, false, "255", "6,5", "0,2", -1},  // 0.2499999999999991
        {"GBC 1020", false, true, "1020", "6,5", "0,3", 0},          // exactly 0.25
        {"GBC 500", false, true, "500", "6,5", "6,8", 14},           // 6.75: byte 13.5 -> 14
        {"GBC 1027", false, true, "1027", "2", "0,1", 0},            // 0.050000000000000044
        {"throttle BCN 1027", false, false, "1027", "2", "0", -1},   // 0.04999999999999982
    };
    for (const auto& c : cases) {
        SetUp();
        layout.FlagDadUozAfr = c.dad;
        layout.FlagGBC = c.gbc;
        grids.SG_UOZ.SetCell(1, 17, c.base);
        grids.SG_UOZ.SetCell(0, 1, c.load);
        grids.SG_BCN.SetCell(1, 1, c.load);
        Labels({"0"});
        grids.SG_UOZ.SetCell(0, 1, c.load);
        Button3Click(ctx, grids, "400");
        EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), c.want) << c.name;
        if (c.wantByte >= 0) {
            EXPECT_EQ(firmware.FFirmwareData[0x6DC8], c.wantByte) << c.name;
        }
    }
}

TEST_F(Generator, NoImageDoesNothing) {
    layout.FirmwareLoaded = false;
    Button3Click(ctx, grids, "400");
    EXPECT_EQ(grids.SG_UOZ.Cell(1, 1), "7");
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Generator, BadTextsStopWithAMessage) {
    const struct {
        const char* name;
        const char* scale;
        int badCol;  // 0: none
        int changedBefore;
    } cases[] = {
        {"scale not a number", "abc", 0, 0},
        {"scale zero", "0", 0, 0},
        {"empty base in column 3", "400", 3, 2 * 16},
    };
    for (const auto& c : cases) {
        SetUp();
        layout.FlagGBC = true;
        Labels({"520"});
        if (c.badCol != 0)
            grids.SG_UOZ.SetCell(c.badCol, 17, "");
        firmware.FFirmwareData[0x6DC8] = 99;
        Button3Click(ctx, grids, c.scale);
        int changed = 0;
        for (int col = 1; col <= 16; ++col) {
            for (int r = 1; r <= 16; ++r)
                changed += grids.SG_UOZ.Cell(col, r) != "7";
        }
        EXPECT_EQ(changed, c.changedBefore) << c.name;
        EXPECT_EQ(firmware.FFirmwareData[0x6DC8], 99) << c.name;  // nothing written
        EXPECT_EQ(messages.entries.size(), 1u) << c.name;
        messages.entries.clear();
    }
}

}  // namespace
}  // namespace veltrano::test
