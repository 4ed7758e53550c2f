#include "calibration/calibration_file.h"

#include <gtest/gtest.h>

#include "calibration/demo_image.h"
#include "calibration/link_tables.h"
#include "tests/calibration/test_images.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

struct VariantCase {
    const char* label;
    DemoImageOptions options;
};

DemoImageOptions Variant(const std::string& name, bool dad, bool dadUozAfr, bool big = false) {
    DemoImageOptions o;
    o.variant = name;
    o.dad = dad;
    o.dadUozAfr = dadUozAfr;
    o.pcn32 = dad;
    o.pcnDad32x32 = dad;
    if (big)
        o.size = 131072;
    return o;
}

class Resave : public ::testing::TestWithParam<VariantCase> {};

TEST_P(Resave, UneditedSaveIsByteIdentical) {
    const auto dir = testing::TempDir(std::string("resave_") + GetParam().label);
    const auto image = MakeDemoImage(GetParam().options);
    testing::WriteBytes(dir / "in.bin", image);
    Calibration c;
    RecordedMessages messages;
    ASSERT_TRUE(OpenCalibration((dir / "in.bin").string(), messages, c, ','));
    ASSERT_TRUE(SaveCalibration(c, (dir / "out.bin").string(), messages, ','));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(testing::ReadBytes(dir / "out.bin"), image);
    ASSERT_TRUE(SaveCalibration(c, (dir / "out2.bin").string(), messages, ','));
    EXPECT_EQ(testing::ReadBytes(dir / "out2.bin"), image);
}

std::vector<VariantCase> AllVariants() {
    std::vector<VariantCase> out;
    static std::vector<std::string> labels;
    for (const std::string& name : DemoVariants()) {
        for (int flags = 0; flags < 3; ++flags) {
            std::string label = name + "_" + std::to_string(flags);
            for (char& ch : label)
                ch = ch == '.' ? '_' : ch;
            labels.push_back(label);
        }
    }
    std::size_t i = 0;
    for (const std::string& name : DemoVariants()) {
        out.push_back({labels[i++].c_str(), Variant(name, false, false)});
        out.push_back({labels[i++].c_str(), Variant(name, true, false)});
        out.push_back({labels[i++].c_str(), Variant(name, true, true)});
    }
    out.push_back({"J5TRS_big", Variant("J5TRS", true, true, true)});
    return out;
}

INSTANTIATE_TEST_SUITE_P(Table, Resave, ::testing::ValuesIn(AllVariants()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Save, BigImageChecksumIsUntouched) {
    auto image = MakeDemoImage(Variant("J7TRS", true, true, true));
    image[0xFFFA] = 0x12;
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(image, quiet, c, ','));
    c.grids.SG_UOZ.SetCell(1, 1, "20");
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    EXPECT_EQ(c.firmware.FFirmwareData[0xFFFA], 0x12);
    EXPECT_EQ(c.firmware.FFirmwareData[c.layout.StartAddrUOZ], 40);
}

TEST(Save, EditsReachTheImageAndTheChecksumFollows) {
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J7ES", true, false)), quiet, c, ','));
    c.grids.SG_PCN.SetCell(2, 1, "1,5");
    c.grids.SG_BCN.SetCell(1, 16, "400");
    c.grids.SG_PCN_32x32.SetCell(32, 32, "0,5");
    c.grids.SG_AFR.SetCell(1, 1, "12");  // never written back
    const std::uint8_t afr = c.firmware.FFirmwareData[c.layout.StartAddrAFR];
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    const auto& img = c.firmware.FFirmwareData;
    EXPECT_EQ(img[0x9294 + 1], 192);
    EXPECT_EQ(img[0x75EF + 15 * 16], 150);
    EXPECT_EQ(img[0x9294 + 1023], 64);
    EXPECT_EQ(img[c.layout.StartAddrAFR], afr);
    EXPECT_TRUE(TFirmware::ChecksumCorrect(img));
}

TEST(Save, OverlappingGridsKeepEachOthersEdits) {
    // "J7ES" with the 32x32 table: SG_PCN shows the first 256 bytes of it.
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J7ES", true, false)), quiet, c, ','));
    c.grids.SG_PCN.SetCell(1, 1, "1,5");
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    EXPECT_EQ(c.firmware.FFirmwareData[0x9294], 192);
}

// A cell typed back to the text it was shown from saves its own byte again, whatever an
// earlier encoding (a save, a cancelled save) left in the image.
struct TypedBackCase {
    const char* label;
    const char* variant;
    bool pcnDad32x32;
    TextGrid CalibrationGrids::*grid;
    int col;
    int row;
    const char* edited;
};

class TypedBack : public ::testing::TestWithParam<TypedBackCase> {};

TEST_P(TypedBack, SavesTheShownByteAgain) {
    const TypedBackCase& k = GetParam();
    DemoImageOptions o = Variant(k.variant, true, false);
    o.pcnDad32x32 = k.pcnDad32x32;
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(o), quiet, c, ','));
    TextGrid& grid = c.grids.*k.grid;
    const std::vector<std::uint8_t> before = c.firmware.FFirmwareData;
    const std::string shown = grid.Cell(k.col, k.row);
    grid.SetCell(k.col, k.row, k.edited);
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    ASSERT_NE(c.firmware.FFirmwareData, before);
    grid.SetCell(k.col, k.row, shown);
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    EXPECT_EQ(c.firmware.FFirmwareData, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TypedBack,
    ::testing::Values(
        TypedBackCase{"Pcn", "J5TRS", false, &CalibrationGrids::SG_PCN, 1, 1, "1,5"},
        TypedBackCase{"Bcn", "J7TRS", false, &CalibrationGrids::SG_BCN, 4, 9, "1000"},
        TypedBackCase{"Uoz", "J5LS", false, &CalibrationGrids::SG_UOZ, 16, 16, "40"},
        // SG_PCN shows the first bytes of the 32x32 table: the typed-back cell is the last set.
        TypedBackCase{"PcnOver32x32", "J7ES", true, &CalibrationGrids::SG_PCN, 2, 1, "1,5"},
        TypedBackCase{"Pcn32x32", "J7ES", true, &CalibrationGrids::SG_PCN_32x32, 2, 1, "1,5"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Save, OfTwoGridsOverOneByteTheCellSetLastDecides) {
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J7ES", true, false)), quiet, c, ','));
    ASSERT_EQ(c.layout.StartAddrPCN, c.layout.StartAddrPcn_32x32);
    c.grids.SG_PCN.SetCell(1, 2, "1,5");         // byte 16
    c.grids.SG_PCN_32x32.SetCell(17, 1, "0,5");  // the same byte, set later
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    EXPECT_EQ(c.firmware.FFirmwareData[0x9294 + 16], 64);
    c.grids.SG_PCN.SetCell(1, 2, "1,5");
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    EXPECT_EQ(c.firmware.FFirmwareData[0x9294 + 16], 192);
}

TEST(Save, BadCellLeavesImageAndFileAlone) {
    const auto dir = testing::TempDir("save_bad_cell");
    const auto image = MakeDemoImage(Variant("J5TRS", true, true));
    testing::WriteBytes(dir / "out.bin", {1, 2, 3});
    Calibration c;
    RecordedMessages messages;
    ASSERT_TRUE(OpenCalibrationBytes(image, messages, c, ','));
    c.grids.SG_PCN.SetCell(1, 1, "1,5");
    c.grids.SG_UOZ.SetCell(3, 5, "12.5");  // the other separator
    EXPECT_FALSE(SaveCalibration(c, (dir / "out.bin").string(), messages, ','));
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "Ячейка X3Z5: «12.5» не является числом");
    EXPECT_EQ(c.firmware.FFirmwareData, image);
    EXPECT_EQ(testing::ReadBytes(dir / "out.bin"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(Save, NothingLoadedDoesNothing) {
    Calibration c;
    RecordedMessages messages;
    EXPECT_FALSE(EncodeGridsForSave(c, messages, ','));
    EXPECT_TRUE(messages.entries.empty());
}

TEST(Save, VariantsWithoutTableAddressesDoNotWriteAtZero) {
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J5.1", false, false)), quiet, c, ','));
    const std::uint8_t first = c.firmware.FFirmwareData[0];
    c.grids.SG_PCN.SetCell(1, 1, "1,5");
    ASSERT_TRUE(EncodeGridsForSave(c, quiet, ','));
    EXPECT_EQ(c.firmware.FFirmwareData[0], first);
}

// Address 0 is code: the four tables of a layout without addresses open empty and disabled.
TEST(Open, TablesWithoutAddressesOpenEmptyAndDisabled) {
    struct Case {
        const char* variant;
        bool known;
    } cases[] = {{"J7SPT", false},   {"J5SPT", false}, {"J5.1", false},
                 {"unknown", false}, {"J7.2", true},   {"J7ES", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        Calibration cal;
        SilentMessages quiet;
        ASSERT_TRUE(
            OpenCalibrationBytes(MakeDemoImage(Variant(c.variant, false, false)), quiet, cal, ','));
        for (const TextGrid* g :
             {&cal.grids.SG_PCN, &cal.grids.SG_BCN, &cal.grids.SG_UOZ, &cal.grids.SG_AFR}) {
            EXPECT_EQ(g->Enabled, c.known);
            EXPECT_EQ(g->Cell(1, 1).empty(), !c.known);
            EXPECT_EQ(g->Cell(16, 16).empty(), !c.known);
        }
    }
}

TEST(WriteFileAtomically, FailureLeavesNoFileAndWarns) {
    const auto dir = testing::TempDir("atomic_fail");
    RecordedMessages messages;
    const std::vector<std::uint8_t> bytes = {1, 2};
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "x.bin").string(), bytes, messages));
    EXPECT_EQ(messages.entries.size(), 1u);
    // A directory in the way: the rename fails, the temporary file is removed.
    fs::create_directories(dir / "taken");
    fs::create_directories(dir / "taken" / "inner");
    EXPECT_FALSE(WriteFileAtomically((dir / "taken").string(), bytes, messages));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 0);
}

TEST(Open, FailureKeepsTheCurrentImage) {
    Calibration c;
    RecordedMessages messages;
    ASSERT_TRUE(
        OpenCalibrationBytes(MakeDemoImage(Variant("J7.2", false, false)), messages, c, ','));
    EXPECT_FALSE(OpenCalibrationBytes(std::vector<std::uint8_t>(100), messages, c, ','));
    EXPECT_EQ(c.layout.firmwareName, "J7.2");
    EXPECT_TRUE(c.layout.FirmwareLoaded);
    EXPECT_FALSE(OpenCalibration("/nonexistent.bin", messages, c, ','));
    EXPECT_EQ(c.layout.firmwareName, "J7.2");
}

TEST(Open, EveryOpenStartsFromACleanLayout) {
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J5TRS", true, true)), quiet, c, ','));
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J5.1", false, false)), quiet, c, ','));
    EXPECT_EQ(c.layout.firmwareName, "J5.1");
    EXPECT_EQ(c.layout.StartAddrPCN, 0);
    EXPECT_FALSE(c.layout.FlagDAD);
    EXPECT_FALSE(c.firmware.FlagTRS239);
    EXPECT_FALSE(c.grids.ShowPcnTrtTab);
}

TEST(LinkTables, RawBytesAtTheLayoutAddresses) {
    Calibration c;
    SilentMessages quiet;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J7ES", true, true)), quiet, c, ','));
    c.grids.SG_PCN.SetCell(1, 1, "1,9");  // grids do not matter here
    const LinkTableImages t = LinkTablesFromImage(c.firmware, c.layout);
    const auto& img = c.firmware.FFirmwareData;
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(t.TablePCN[k], img[c.layout.StartAddrPCN + k]);
        EXPECT_EQ(t.TableBCN[k], img[c.layout.StartAddrBCN + k]);
        EXPECT_EQ(t.TableUOZ[k], img[c.layout.StartAddrUOZ + k]);
        EXPECT_EQ(t.TableAFR[k], img[c.layout.StartAddrAFR + k]);
    }
    ASSERT_EQ(t.TablePcn_32x32.size(), 1024u);
    EXPECT_EQ(t.TablePcn_32x32[1023], img[0x9294 + 1023]);
    EXPECT_EQ(t.TableFirmwareOlt, c.firmware.FFirmwareWriteOlt);

    Calibration trs;
    ASSERT_TRUE(OpenCalibrationBytes(MakeDemoImage(Variant("J5TRS", true, true)), quiet, trs, ','));
    EXPECT_TRUE(LinkTablesFromImage(trs.firmware, trs.layout).TablePcn_32x32.empty());
}

}  // namespace
}  // namespace veltrano
