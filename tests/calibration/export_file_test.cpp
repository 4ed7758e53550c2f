#include "calibration/export_file.h"

#include <gtest/gtest.h>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/code_page.h"
#include "tests/calibration/test_images.h"

namespace veltrano {
namespace {

struct HeaderCase {
    ExportTab tab;
    std::string name;
    bool dad, dadUozAfr, learnTrt;
    const char* identifier;
    const char* title;
};

class ExportHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ExportHeaderTest, IdentifierAndName) {
    const HeaderCase& c = GetParam();
    FirmwareLayout l;
    l.firmwareName = c.name;
    l.FlagDAD = c.dad;
    l.FlagDadUozAfr = c.dadUozAfr;
    const ExportHeader h = ExportHeaderFor(c.tab, l, c.learnTrt);
    EXPECT_EQ(h.identifier, c.identifier);
    EXPECT_EQ(h.name, c.title);
}

constexpr const char* kBcn = "Name=Базовое цикловое наполнение";
constexpr const char* kPcn = "Name=Поправка ЦН";
constexpr const char* kAfr = "Name=Состав cмеси от давления";
constexpr const char* kUoz = "Name=УОЗ";
using T = ExportTab;

INSTANTIATE_TEST_SUITE_P(Table, ExportHeaderTest,
                         ::testing::Values(HeaderCase{T::BCN, "J5TRS", 1, 0, 0, "[FE00FF84]", kBcn},
                                           HeaderCase{T::BCN, "J5TRS", 0, 1, 0, "[279E7F4E]", kBcn},
                                           HeaderCase{T::BCN, "J7TRS", 1, 0, 0, "[279E7F4E]", kBcn},
                                           HeaderCase{T::PCN, "J7ES", 1, 0, 0, "[7BF20B0D]", kPcn},
                                           HeaderCase{T::PCN, "J7ES", 1, 0, 1, "[454C2B1C]", kPcn},
                                           HeaderCase{T::PCN, "J7ES", 0, 0, 0, "[454C2B1C]", kPcn},
                                           HeaderCase{T::PCN, "J5TRS", 1, 0, 0, "[FE01FF10]", kPcn},
                                           HeaderCase{T::PCN, "J5TRS", 1, 0, 1, "[454C2B1C]", kPcn},
                                           HeaderCase{T::PCN, "J5LS", 1, 0, 0, "", kPcn},
                                           HeaderCase{T::PCN, "J7TRS", 1, 0, 0, "", kPcn},
                                           HeaderCase{T::AFR, "J5TRS", 0, 1, 0, "[FE00FF85]", kAfr},
                                           HeaderCase{T::AFR, "J5TRS", 1, 0, 0, "[FE00FF0B]", kAfr},
                                           HeaderCase{T::AFR, "J7ES", 1, 1, 0, "[FF654C89]", kAfr},
                                           HeaderCase{T::UOZ, "J5TRS", 0, 1, 0, "[FE00FF85]", kUoz},
                                           HeaderCase{T::UOZ, "J5TRS", 1, 0, 0, "[FE00FF0E]", kUoz},
                                           HeaderCase{T::UOZ, "J7ES", 0, 1, 0, "[9F8A59E4]", kUoz},
                                           HeaderCase{T::UOZ, "J7ES", 1, 0, 0, "[3A4D9EF3]", kUoz},
                                           HeaderCase{T::UOZ, "J7.2", 0, 0, 0, "[FE00FF0F]", kUoz},
                                           HeaderCase{T::UOZ, "", 0, 0, 0, "[FE00FF0F]", kUoz}));

TEST(ExportTabAt, OnlyTheFirstFourTabsExport) {
    EXPECT_EQ(ExportTabAt(0), ExportTab::BCN);
    EXPECT_EQ(ExportTabAt(3), ExportTab::UOZ);
    EXPECT_FALSE(ExportTabAt(4));
    EXPECT_FALSE(ExportTabAt(-1));
}

TEST(ExportLines, ColumnsOuterRowsInner) {
    TextGrid g(17, 18);
    g.SetCell(3, 5, "1,02");
    g.SetCell(16, 16, "7");
    g.SetCell(1, 17, "base curve");
    const auto lines = ExportLines(g, {"[FE00FF0F]", "Name=УОЗ"});
    ASSERT_EQ(lines.size(), 258u);
    EXPECT_EQ(lines[0], "[FE00FF0F]");
    EXPECT_EQ(lines[1], "Name=УОЗ");
    EXPECT_EQ(lines[2], "X1Z1=");
    EXPECT_EQ(lines[3], "X1Z2=");
    EXPECT_EQ(lines[17], "X1Z16=");
    EXPECT_EQ(lines[18], "X2Z1=");
    EXPECT_EQ(lines[2 + 2 * 16 + 4], "X3Z5=1,02");
    EXPECT_EQ(lines[257], "X16Z16=7");
}

TEST(SaveTableOne, Cp1251WithCrLf) {
    const auto dir = testing::TempDir("export_file");
    Calibration c;
    SilentMessages quiet;
    DemoImageOptions o;
    o.variant = "J7.2";
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(o), quiet, c, ','));
    const auto header = ExportHeaderFor(ExportTab::UOZ, c.layout, false);
    const auto path = dir / "uoz.cte";
    ASSERT_TRUE(SaveTableOne(path.string(), ExportLines(c.grids.SG_UOZ, header), quiet));
    const auto bytes = testing::ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 22), "[FE00FF0F]\r\nName=\xD3\xCE\xC7\r\n");
    const std::string first = "X1Z1=" + c.grids.SG_UOZ.Cell(1, 1) + "\r\n";
    EXPECT_EQ(text.substr(22, first.size()), first);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 258);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 258);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find("\xEF\xBB\xBF"), std::string::npos);
}

TEST(SaveTableOne, AfrNameKeepsTheLatinLetter) {
    const auto dir = testing::TempDir("export_afr");
    SilentMessages quiet;
    const auto path = dir / "afr.cte";
    ASSERT_TRUE(SaveTableOne(path.string(), {"", "Name=Состав cмеси от давления"}, quiet));
    const auto bytes = testing::ReadBytes(path);
    EXPECT_EQ(
        std::string(bytes.begin(), bytes.end()),
        "\r\nName=" + Utf8ToCp1251("Состав") + " c" + Utf8ToCp1251("меси от давления") + "\r\n");
}

TEST(SaveTableOne, UnwritablePathWarns) {
    RecordedMessages messages;
    EXPECT_FALSE(SaveTableOne("/nonexistent/dir/t.cte", {"a"}, messages));
    EXPECT_EQ(messages.entries.size(), 1u);
}

}  // namespace
}  // namespace veltrano
