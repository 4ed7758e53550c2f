#include "calibration/table_catalogue.h"

#include <gtest/gtest.h>

#include "tests/calibration/test_images.h"

namespace veltrano {
namespace {

struct ByteCase {
    TableScale scale;
    int m;
    std::uint8_t byte;
    const char* comma;  // display with ','
    const char* dot;    // display with '.'
    std::uint8_t back;  // byte the display text encodes to
};

class ByteTextTest : public ::testing::TestWithParam<ByteCase> {};

TEST_P(ByteTextTest, DisplayAndEncodeBack) {
    const ByteCase& c = GetParam();
    EXPECT_EQ(ByteText(c.scale, c.byte, c.m, ','), c.comma);
    EXPECT_EQ(ByteText(c.scale, c.byte, c.m, '.'), c.dot);
    EXPECT_EQ(TextByte(c.scale, c.comma, c.m, ','), c.back);
    EXPECT_EQ(TextByte(c.scale, c.dot, c.m, '.'), c.back);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ByteTextTest,
    ::testing::Values(ByteCase{TableScale::Pcn, 1, 128, "1", "1", 128},
                      ByteCase{TableScale::Pcn, 1, 64, "0,5", "0.5", 64},
                      ByteCase{TableScale::Pcn, 1, 255, "1,99", "1.99", 255},
                      ByteCase{TableScale::Pcn, 1, 2, "0,02", "0.02", 3},
                      ByteCase{TableScale::Pcn, 1, 7, "0,05", "0.05", 6},
                      ByteCase{TableScale::Pcn, 1, 0, "0", "0", 0},
                      ByteCase{TableScale::Bcn, 1, 3, "8", "8", 3},
                      ByteCase{TableScale::Bcn, 2, 3, "16", "16", 3},
                      ByteCase{TableScale::Bcn, 1, 1, "3", "3", 1},
                      ByteCase{TableScale::Bcn, 1, 255, "680", "680", 255},
                      ByteCase{TableScale::Uoz, 1, 21, "10,5", "10.5", 21},
                      ByteCase{TableScale::Uoz, 1, 255, "127,5", "127.5", 255},
                      ByteCase{TableScale::Afr, 1, 0, "7,35", "7.35", 0},
                      ByteCase{TableScale::Afr, 1, 128, "14,7", "14.7", 128},
                      ByteCase{TableScale::Afr, 1, 255, "21,99", "21.99", 255},
                      ByteCase{TableScale::InjDynamic, 1, 3, "0,02", "0.02", 2},
                      ByteCase{TableScale::InjDynamic, 1, 250, "2", "2", 250}));

// How many of the 256 bytes a decode and encode change.
int Unstable(TableScale scale, int m) {
    int n = 0;
    for (int b = 0; b < 256; ++b) {
        const auto back = TextByte(scale, ByteText(scale, b, m, ','), m, ',');
        n += back != b;
    }
    return n;
}

TEST(ByteText, RoundTripStability) {
    EXPECT_EQ(Unstable(TableScale::Pcn, 1), 56);
    EXPECT_EQ(Unstable(TableScale::Uoz, 1), 0);
    EXPECT_EQ(Unstable(TableScale::Bcn, 1), 0);
    EXPECT_EQ(Unstable(TableScale::Bcn, 2), 0);
    EXPECT_EQ(Unstable(TableScale::Afr, 1), 0);
}

struct ClampCase {
    TableScale scale;
    double value;
    std::uint8_t byte;
};

class ValueByteClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ValueByteClamp, OutOfRangeCodesClampToTheByteRange) {
    EXPECT_EQ(ValueByte(GetParam().scale, GetParam().value), GetParam().byte);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueByteClamp,
    ::testing::Values(ClampCase{TableScale::Pcn, 2.0, 255}, ClampCase{TableScale::Pcn, -0.5, 0},
                      ClampCase{TableScale::Uoz, -3, 0}, ClampCase{TableScale::Uoz, 200, 255},
                      ClampCase{TableScale::Afr, 5, 0}, ClampCase{TableScale::Afr, 30, 255},
                      ClampCase{TableScale::Bcn, 1e9, 255}, ClampCase{TableScale::Pcn, 1.5, 192}));

TEST(TextByte, RejectsNonNumbersAndTheOtherSeparator) {
    EXPECT_FALSE(TextByte(TableScale::Pcn, "abc", 1, ','));
    EXPECT_FALSE(TextByte(TableScale::Pcn, "", 1, ','));
    EXPECT_FALSE(TextByte(TableScale::Pcn, "1.5", 1, ','));
    EXPECT_EQ(TextByte(TableScale::Pcn, " 1,5 ", 1, ','), 192);
}

TEST(TextGrid, ModifiedIsAComparisonWithTheDecodedText) {
    TextGrid g(17, 17);
    g.SetDecoded(1, 1, "0,02", 2);
    EXPECT_FALSE(g.Modified(1, 1));
    g.SetCell(1, 1, "0,03");
    EXPECT_TRUE(g.Modified(1, 1));
    g.SetCell(1, 1, "0,02");
    EXPECT_FALSE(g.Modified(1, 1));
    g.SetCell(1, 1, "1");
    g.Revert(1, 1);
    EXPECT_EQ(g.Cell(1, 1), "0,02");
    EXPECT_TRUE(g.Modified(2, 2));  // never decoded
    EXPECT_EQ(g.Cell(40, 40), "");  // outside
    g.SetCell(40, 40, "x");         // ignored
    EXPECT_FALSE(g.ShownByte(40, 40));
}

class TableEncoding : public ::testing::Test {
  protected:
    void SetUp() override {
        auto img = testing::ZeroImage();
        for (int k = 0; k < 256; ++k)
            img[kStart + k] = static_cast<std::uint8_t>(k);
        fw = testing::Loaded(img);
        GetPCN(fw, grid, kStart, ',');
    }
    static constexpr std::uint16_t kStart = 0x7CF7;
    TFirmware fw;
    TextGrid grid{17, 17};
};

TEST_F(TableEncoding, DecodesRowMajorFromTheStart) {
    EXPECT_EQ(grid.Cell(1, 1), "0");
    EXPECT_EQ(grid.Cell(3, 1), "0,02");    // byte 2
    EXPECT_EQ(grid.Cell(1, 2), "0,13");    // byte 16
    EXPECT_EQ(grid.Cell(16, 16), "1,99");  // byte 255
    EXPECT_EQ(grid.ShownByte(3, 1), 2);
    EXPECT_EQ(grid.Cell(0, 0), "");  // labels untouched
}

TEST_F(TableEncoding, UnchangedCellsKeepTheirBytes) {
    const auto before = fw.FFirmwareData;
    EXPECT_FALSE(TabFirmPCN(fw, grid, kStart, ','));
    EXPECT_EQ(fw.FFirmwareData, before);
    const EncodedTable bytes = EncodeTableBytes(grid, TableScale::Pcn, 16, 1, ',');
    ASSERT_FALSE(bytes.error);
    for (int k = 0; k < 256; ++k)
        EXPECT_EQ(bytes.bytes[k], k);
}

TEST_F(TableEncoding, EditedCellsEncodeFromTheirText) {
    grid.SetCell(3, 1, "0,02");  // same text: still byte 2
    grid.SetCell(4, 1, "0,02");  // byte 3 edited to 0,02 -> 3 (2.56 rounds to 3)
    grid.SetCell(5, 1, "2");     // clamped, not wrapped to 0
    grid.SetCell(6, 2, "1,5");
    EXPECT_FALSE(TabFirmPCN(fw, grid, kStart, ','));
    EXPECT_EQ(fw.FFirmwareData[kStart + 2], 2);
    EXPECT_EQ(fw.FFirmwareData[kStart + 3], 3);
    EXPECT_EQ(fw.FFirmwareData[kStart + 4], 255);
    EXPECT_EQ(fw.FFirmwareData[kStart + 16 + 5], 192);
}

TEST_F(TableEncoding, ABadCellStopsBeforeAnythingIsWritten) {
    grid.SetCell(1, 1, "1,5");
    grid.SetCell(7, 9, "abc");
    const auto before = fw.FFirmwareData;
    const auto error = TabFirmPCN(fw, grid, kStart, ',');
    ASSERT_TRUE(error);
    EXPECT_EQ(error->col, 7);
    EXPECT_EQ(error->row, 9);
    EXPECT_EQ(CellErrorMessage(*error), "Ячейка X7Z9: «abc» не является числом");
    EXPECT_EQ(fw.FFirmwareData, before);
    EXPECT_TRUE(EncodeTableBytes(grid, TableScale::Pcn, 16, 1, ',').bytes.empty());
}

TEST(TableEncodingBcn, UsesTheMultiplier) {
    TFirmware fw = testing::Loaded(testing::ZeroImage());
    fw.FlagTRS239 = true;
    fw.Flag_DAD_BCN = true;
    EXPECT_EQ(BcnMultiplier(fw), 2);
    TextGrid g(17, 17);
    GetBCN(fw, g, 0x726D, ',');
    g.SetCell(1, 1, "16");
    EXPECT_FALSE(TabFirmBCN(fw, g, 0x726D, ','));
    EXPECT_EQ(fw.FFirmwareData[0x726D], 3);
    fw.Flag_DAD_BCN = false;
    EXPECT_EQ(BcnMultiplier(fw), 1);
}

TEST(GetINJTIME, BatteryAxisAndValues) {
    auto img = testing::ZeroImage();
    img[0x71D8] = 3;
    img[0x71D8 + 15] = 125;
    const TFirmware fw = testing::Loaded(img);
    TextGrid g(16, 2);
    GetINJTIME(fw, g, 0x71D8, ',');
    const char* labels[] = {"5,6", "6,4",  "7,2",  "8",    "8,8",  "9,6", "10,4", "11,2",
                            "12",  "12,8", "13,6", "14,4", "15,2", "16",  "16,8", "17,6"};
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(g.Cell(k, 0), labels[k]);
    EXPECT_EQ(g.Cell(0, 1), "0,02");
    EXPECT_EQ(g.Cell(15, 1), "1");
}

}  // namespace
}  // namespace veltrano
