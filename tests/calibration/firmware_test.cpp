#include "calibration/firmware.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "calibration/calibration_texts.h"
#include "tests/calibration/test_images.h"

namespace veltrano {
namespace {

using testing::Loaded;
using testing::ZeroImage;

struct SizeCase {
    std::size_t size;
    bool accepted;
};

class LoadFirmwareSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(LoadFirmwareSize, AcceptsFrom64KiBUp) {
    const auto dir = testing::TempDir("load_size_" + std::to_string(GetParam().size));
    auto bytes = ZeroImage(GetParam().size);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    testing::WriteBytes(dir / "image.bin", bytes);
    TFirmware fw;
    RecordedMessages messages;
    EXPECT_EQ(fw.LoadFirmware((dir / "image.bin").string(), messages), GetParam().accepted);
    if (GetParam().accepted) {
        EXPECT_TRUE(messages.entries.empty());
        EXPECT_EQ(fw.FFirmwareData, bytes);
        ASSERT_EQ(fw.FFirmwareWriteOlt.size(), 16640u);
        EXPECT_TRUE(std::equal(fw.FFirmwareWriteOlt.begin(), fw.FFirmwareWriteOlt.end(),
                               bytes.begin() + 0x5F00));
    } else {
        ASSERT_EQ(messages.entries.size(), 1u);
        EXPECT_EQ(messages.entries[0].text, texts::kWrongFirmwareSize);
        EXPECT_EQ(messages.entries[0].kind, "warning");
        EXPECT_TRUE(fw.FFirmwareData.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LoadFirmwareSize,
                         ::testing::Values(SizeCase{0, false}, SizeCase{65535, false},
                                           SizeCase{65536, true}, SizeCase{131072, true}));

TEST(LoadFirmware, MissingFileFailsSilently) {
    TFirmware fw;
    RecordedMessages messages;
    EXPECT_FALSE(fw.LoadFirmware("/nonexistent/dir/image.bin", messages));
    EXPECT_TRUE(messages.entries.empty());
}

TEST(LoadFirmware, OltCopyDoesNotFollowLaterEdits) {
    TFirmware fw = Loaded(ZeroImage());
    fw.FFirmwareData[0x5F00] = 0x55;
    EXPECT_EQ(fw.FFirmwareWriteOlt[0], 0);
}

TEST(FirmNameLoad, GivesFiveCharactersIncludingZeroBytes) {
    auto img = ZeroImage();
    testing::PutText(img, 0x600A, "J5.1");
    const TFirmware fw = Loaded(img);
    EXPECT_EQ(fw.FirmNameLoad(0x600A), std::string("J5.1\0", 5));
    EXPECT_EQ(fw.FirmNameLoad(0x0000).size(), 5u);
}

struct BinCase {
    std::int32_t value;
    std::int32_t size;
    const char* bits;
};

class IntToBinTest : public ::testing::TestWithParam<BinCase> {};

TEST_P(IntToBinTest, MostSignificantFirst) {
    EXPECT_EQ(TFirmware::IntToBin(GetParam().value, GetParam().size), GetParam().bits);
}

INSTANTIATE_TEST_SUITE_P(Table, IntToBinTest,
                         ::testing::Values(BinCase{0, 7, "00000000"}, BinCase{0xA5, 7, "10100101"},
                                           BinCase{2, 1, "10"}, BinCase{0x1FF, 7, "11111111"},
                                           BinCase{5, 0, "1"}));

TEST(FFlagLoad, PositionsMapToBitsOfTheThreeBytes) {
    auto img = ZeroImage();
    img[0x5F57] = 0x02;  // bit 1 -> position 7
    img[0x5F59] = 0x01;  // bit 0 -> position 16
    img[0x5F60] = 0x04;  // bit 2 -> position 22
    const std::string s = Loaded(img).FFlagLoad(0x5F57, 0x5F59, 0x5F60);
    ASSERT_EQ(s.size(), 24u);
    EXPECT_EQ(s, "000000100000000100000100");
    EXPECT_EQ(s[7 - 1], '1');
    EXPECT_EQ(s[16 - 1], '1');
    EXPECT_EQ(s[22 - 1], '1');
}

TEST(CorrectCRC, AllZeroImage) {
    auto img = ZeroImage();
    TFirmware::CorrectCRC(img);
    EXPECT_EQ(img[0xFFFE], 0xFE);
    EXPECT_EQ(img[0xFFFF], 0x01);
    EXPECT_EQ(img[0xFFFA], 0x01);
    EXPECT_EQ(img[0xFFFB], 0xFE);
    EXPECT_TRUE(TFirmware::ChecksumCorrect(img));
}

TEST(CorrectCRC, SumRuleReproducesTheStoredWordAndIsIdempotent) {
    auto img = ZeroImage();
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 31 + 7);
    EXPECT_FALSE(TFirmware::ChecksumCorrect(img));
    TFirmware::CorrectCRC(img);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < img.size(); ++i) {
        std::uint8_t b = img[i];
        if (i == 0xFFFE)
            b = 0xFF - img[0xFFFA];
        if (i == 0xFFFF)
            b = 0xFF - img[0xFFFB];
        sum = static_cast<std::uint16_t>(sum + b);
    }
    EXPECT_EQ(sum, img[0xFFFE] | (img[0xFFFF] << 8));
    EXPECT_EQ(img[0xFFFA], 0xFF - img[0xFFFE]);
    EXPECT_EQ(img[0xFFFB], 0xFF - img[0xFFFF]);
    auto again = img;
    TFirmware::CorrectCRC(again);
    EXPECT_EQ(again, img);
}

TEST(CorrectCRC, LeavesOtherLengthsAlone) {
    auto img = ZeroImage(131072);
    TFirmware::CorrectCRC(img);
    EXPECT_EQ(img, ZeroImage(131072));
}

TEST(NaklonDAD, ReadsSlopeAndOffset) {
    auto img = ZeroImage();
    img[0x60D2] = 0x8E;  // 11150
    img[0x60D3] = 0x2B;
    img[0x60D4] = 128;
    img[0x6098] = 0xE4;  // 2788
    img[0x6099] = 0x0A;
    img[0x609A] = 0x00;  // 512
    img[0x609B] = 0x02;
    TFirmware fw = Loaded(img);
    fw.NaklonDAD(0x60D2, 0x60D4);
    EXPECT_DOUBLE_EQ(fw.FdadNaklon, 22.3);
    EXPECT_DOUBLE_EQ(fw.FdadSMeshenie, 2.5);
    fw.NaklonDAD_J7ES(0x6098, 0x609A);
    EXPECT_DOUBLE_EQ(fw.FdadNaklon, 22.304);
    EXPECT_DOUBLE_EQ(fw.FdadSMeshenie, 2.5);
}

TEST(TabFirLoad, CopiesTheTableAndDropsBytesPastTheEnd) {
    TFirmware fw = Loaded(ZeroImage());
    std::vector<std::uint8_t> table(256, 9);
    fw.TabFirLoad(table, 0x6DC8);
    EXPECT_EQ(fw.FFirmwareData[0x6DC8], 9);
    EXPECT_EQ(fw.FFirmwareData[0x6DC8 + 255], 9);
    EXPECT_EQ(fw.FFirmwareData[0x6DC8 + 256], 0);
    fw.TabFirLoad(table, 0xFF80);
    EXPECT_EQ(fw.FFirmwareData.size(), 65536u);
    EXPECT_EQ(fw.FFirmwareData[0xFFFF], 9);
}

TEST(StaticFlow, WidthsAndMissingParameter) {
    auto img = ZeroImage();
    img[0x6057] = 145;
    img[0x5F24] = 0x00;
    img[0x5F25] = 145;
    const TFirmware fw = Loaded(img);
    EXPECT_NEAR(fw.ReadStaticInjTime(0x6057, 1), 362.811791 / 145, 1e-12);
    EXPECT_NEAR(fw.ReadStaticInjTime(0x5F24, 2), 362.811791 / 145, 1e-12);
    EXPECT_EQ(fw.ReadStaticInjTime(0, 0), 0);
    EXPECT_EQ(fw.ReadStaticInjTime(0x1000, 1), 0);  // a zero byte gives 0, not infinity
}

}  // namespace
}  // namespace veltrano
