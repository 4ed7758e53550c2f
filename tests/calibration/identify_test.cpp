#include <gtest/gtest.h>

#include "calibration/firmware.h"
#include "tests/calibration/test_images.h"

namespace veltrano {
namespace {

using testing::Loaded;
using testing::PutText;
using testing::ZeroImage;

struct Plant {
    std::uint16_t addr;
    std::string_view text;
};

struct IdentifyCase {
    std::vector<Plant> plants;
    const char* name;
    bool trs239;
};

class IdentifyTest : public ::testing::TestWithParam<IdentifyCase> {};

TEST_P(IdentifyTest, FirstMatchingProbeWins) {
    auto img = ZeroImage();
    for (const Plant& p : GetParam().plants)
        PutText(img, p.addr, p.text);
    TFirmware fw = Loaded(img);
    FirmwareLayout layout;
    layout.firmwareName = "previous";
    IdentifyFirmware(fw, layout);
    EXPECT_EQ(layout.firmwareName, GetParam().name);
    EXPECT_EQ(fw.FlagTRS239, GetParam().trs239);
}

using namespace std::string_view_literals;
INSTANTIATE_TEST_SUITE_P(
    Table, IdentifyTest,
    ::testing::Values(IdentifyCase{{{0x0100, "J7SPT"}}, "J7SPT", false},
                      IdentifyCase{{{0x0100, "J5SPT"}}, "J5SPT", false},
                      IdentifyCase{{{0x0030, "j7es_"}}, "J7ES", false},
                      IdentifyCase{{{0x0030, "j7esa"}}, "J7ES", false},
                      IdentifyCase{{{0x0030, "J5TRS"}}, "J5TRS", true},
                      IdentifyCase{{{0x0030, "J7TRS"}}, "J7TRS", true},
                      IdentifyCase{{{0x0030, "J5LS_"}}, "J5LS", false},
                      IdentifyCase{{{0x600A, "J5.1\0"sv}}, "J5.1", false},
                      IdentifyCase{{{0x600A, "7.2\0\0"sv}}, "J7.2", false},
                      // The 0x0100 probes come first.
                      IdentifyCase{{{0x0100, "J7SPT"}, {0x0030, "J7TRS"}}, "J7SPT", false},
                      IdentifyCase{{{0x0030, "J5TRS"}, {0x600A, "J5.1\0"sv}}, "J5TRS", true},
                      // Near misses leave the name as it was.
                      IdentifyCase{{{0x600A, "J5.1X"}}, "previous", false},
                      IdentifyCase{{{0x600A, "7.2\0X"sv}}, "previous", false},
                      IdentifyCase{{{0x0030, "J7ES_"}}, "previous", false},
                      IdentifyCase{{{0x0030, "J5LS"}}, "previous", false},
                      IdentifyCase{{}, "previous", false}));

// Configuration bits: {address, bit}.
struct Bit {
    std::uint16_t addr;
    int bit;
};

struct LayoutCase {
    const char* label;
    std::string name;
    std::vector<Bit> bits;
    bool dad, dadUozAfr, pcnGridDad, pcn32, pcnDad32x32, gbc;
    std::uint16_t pcn, bcn, uoz, afr;
    bool mapAxis;
};

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, FlagsAndAddresses) {
    const LayoutCase& c = GetParam();
    auto img = ZeroImage();
    for (const Bit& b : c.bits)
        img[b.addr] |= static_cast<std::uint8_t>(1u << b.bit);
    TFirmware fw = Loaded(img);
    FirmwareLayout l;
    l.firmwareName = c.name;
    LoadFirmwareLayout(fw, l);
    EXPECT_EQ(l.FlagDAD, c.dad);
    EXPECT_EQ(l.FlagDadUozAfr, c.dadUozAfr);
    EXPECT_EQ(l.FlagPcnGridDad, c.pcnGridDad);
    EXPECT_EQ(l.FlagPcn32, c.pcn32);
    EXPECT_EQ(l.FlagPcnDad32x32, c.pcnDad32x32);
    EXPECT_EQ(l.FlagGBC, c.gbc);
    EXPECT_EQ(l.StartAddrPCN, c.pcn);
    EXPECT_EQ(l.StartAddrBCN, c.bcn);
    EXPECT_EQ(l.StartAddrUOZ, c.uoz);
    EXPECT_EQ(l.StartAddrAFR, c.afr);
    EXPECT_EQ(l.startaddrMin1, c.mapAxis ? 0x5EF2 : 0);
    EXPECT_EQ(l.StartAddrMin2, c.mapAxis ? 0x5EF3 : 0);
    EXPECT_EQ(l.StartAddrMax, c.mapAxis ? 0x5EF4 : 0);
}

std::string LayoutName(const ::testing::TestParamInfo<LayoutCase>& info) {
    return info.param.label;
}

// Non-MAP set: PCN 0x7CF7, BCN 0x75EF, UOZ 0x6DC8, AFR 0x6953.
INSTANTIATE_TEST_SUITE_P(
    Table, LayoutTest,
    ::testing::Values(
        LayoutCase{"J7SPT_none", "J7SPT", {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
        LayoutCase{
            "J7SPT_bits", "J7SPT", {{0x5F57, 1}, {0x5F59, 0}}, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, false},
        LayoutCase{
            "J5SPT_bits", "J5SPT", {{0x6051, 1}, {0x6052, 0}}, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, false},
        LayoutCase{
            "J5LS_throttle", "J5LS", {}, 0, 0, 0, 0, 0, 0, 0x7CF7, 0x75EF, 0x6DC8, 0x6953, false},
        LayoutCase{"J5LS_dad",
                   "J5LS",
                   {{0x5F05, 2}},
                   1,
                   0,
                   1,
                   0,
                   0,
                   0,
                   0x8E2A,
                   0x75EF,
                   0x6DC8,
                   0x6953,
                   true},
        LayoutCase{"J5LS_dad_uozafr",
                   "J5LS",
                   {{0x5F05, 2}, {0x5F07, 5}},
                   1,
                   1,
                   1,
                   0,
                   0,
                   0,
                   0x8E2A,
                   0x75EF,
                   0x852F,
                   0x76EF,
                   true},
        LayoutCase{"J5LS_uozafr_only",
                   "J5LS",
                   {{0x5F07, 5}},
                   0,
                   1,
                   0,
                   0,
                   0,
                   0,
                   0x8E2A,
                   0x75EF,
                   0x852F,
                   0x76EF,
                   false},
        LayoutCase{
            "J7ES_throttle", "J7ES", {}, 0, 0, 0, 0, 0, 0, 0x7CF7, 0x75EF, 0x6DC8, 0x6953, false},
        LayoutCase{"J7ES_dad",
                   "J7ES",
                   {{0x5F02, 0}},
                   1,
                   0,
                   1,
                   0,
                   0,
                   0,
                   0x9294,
                   0x75EF,
                   0x6DC8,
                   0x6953,
                   true},
        LayoutCase{"J7ES_dad_32x32",
                   "J7ES",
                   {{0x5F02, 0}, {0x5F02, 4}},
                   1,
                   0,
                   1,
                   0,
                   1,
                   0,
                   0x9294,
                   0x75EF,
                   0x6DC8,
                   0x6953,
                   true},
        // Bit 1 of [0x5F02] overrides the pressure fuelling.
        LayoutCase{"J7ES_dad_override",
                   "J7ES",
                   {{0x5F02, 0}, {0x5F02, 1}},
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0x7CF7,
                   0x75EF,
                   0x6DC8,
                   0x6953,
                   true},
        // ... and the pressure ignition still moves the PCN while FlagDAD stays false.
        LayoutCase{"J7ES_override_uozafr",
                   "J7ES",
                   {{0x5F02, 0}, {0x5F02, 1}, {0x5F01, 1}},
                   0,
                   1,
                   0,
                   0,
                   0,
                   0,
                   0x9294,
                   0x75EF,
                   0x6AC8,
                   0x83BA,
                   true},
        LayoutCase{"J7ES_dad_uozafr",
                   "J7ES",
                   {{0x5F02, 0}, {0x5F01, 1}},
                   1,
                   1,
                   1,
                   0,
                   0,
                   0,
                   0x9294,
                   0x75EF,
                   0x6AC8,
                   0x83BA,
                   true},
        LayoutCase{
            "J5TRS_throttle", "J5TRS", {}, 0, 0, 0, 0, 0, 0, 0x7CF7, 0x75EF, 0x6DC8, 0x6953, false},
        LayoutCase{"J5TRS_dad",
                   "J5TRS",
                   {{0x5F05, 2}},
                   1,
                   0,
                   1,
                   0,
                   0,
                   0,
                   0x736D,
                   0x726D,
                   0x852F,
                   0x6953,
                   true},
        LayoutCase{"J5TRS_dad_uozafr_pcn32",
                   "J5TRS",
                   {{0x5F05, 2}, {0x5F04, 2}, {0x5F04, 1}},
                   1,
                   1,
                   1,
                   1,
                   0,
                   0,
                   0x736D,
                   0x726D,
                   0x852F,
                   0x76EF,
                   true},
        LayoutCase{"J5TRS_uozafr_only",
                   "J5TRS",
                   {{0x5F04, 2}},
                   0,
                   1,
                   0,
                   0,
                   0,
                   0,
                   0x7CF7,
                   0x75EF,
                   0x6DC8,
                   0x6953,
                   false},
        LayoutCase{
            "J7TRS_throttle", "J7TRS", {}, 0, 0, 0, 0, 0, 0, 0x7CF7, 0x75EF, 0x6DC8, 0x6953, false},
        LayoutCase{"J7TRS_dad",
                   "J7TRS",
                   {{0x5F05, 2}},
                   1,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0x736D,
                   0x726D,
                   0x852F,
                   0x76EF,
                   true},
        LayoutCase{"J7TRS_dad_pcn32",
                   "J7TRS",
                   {{0x5F05, 2}, {0x5F04, 1}},
                   1,
                   0,
                   0,
                   1,
                   0,
                   0,
                   0x5A00,
                   0x726D,
                   0x852F,
                   0x76EF,
                   true},
        LayoutCase{"J7TRS_dad_pcn32_uozafr",
                   "J7TRS",
                   {{0x5F05, 2}, {0x5F04, 1}, {0x5F04, 5}},
                   1,
                   1,
                   0,
                   1,
                   0,
                   0,
                   0x5A00,
                   0x726D,
                   0x852F,
                   0x76EF,
                   true},
        LayoutCase{"J7TRS_uozafr_only",
                   "J7TRS",
                   {{0x5F04, 5}},
                   0,
                   1,
                   0,
                   0,
                   0,
                   0,
                   0x736D,
                   0x726D,
                   0x852F,
                   0x76EF,
                   false},
        LayoutCase{"J7_2", "J7.2", {}, 0, 0, 0, 0, 0, 1, 0x7CF7, 0x75EF, 0x6DC8, 0x6953, false},
        LayoutCase{"J5_1", "J5.1", {{0x5F05, 2}}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
        LayoutCase{"unknown", "", {{0x5F05, 2}}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false}),
    LayoutName);

TEST(Layout, TrsSpecifics) {
    auto img = ZeroImage();
    img[0x5F05] = 0x04;
    img[0x60D2] = 0xE8;  // 1000 -> 2 kPa/V
    img[0x60D3] = 0x03;
    TFirmware fw = Loaded(img);
    FirmwareLayout l;
    l.firmwareName = "J5TRS";
    fw.FlagTRS239 = true;
    LoadFirmwareLayout(fw, l);
    EXPECT_TRUE(fw.Flag_DAD_BCN);
    EXPECT_EQ(l.StartAddrMinInjTime, 0x5FA8);
    EXPECT_DOUBLE_EQ(fw.FdadNaklon, 2.0);
    EXPECT_TRUE(l.ShowPcnTrtTab);
    EXPECT_TRUE(l.ShowLearnTrtOption);

    TFirmware fw7 = Loaded(img);
    FirmwareLayout l7;
    l7.firmwareName = "J7TRS";
    LoadFirmwareLayout(fw7, l7);
    EXPECT_FALSE(fw7.Flag_DAD_BCN);
    EXPECT_EQ(l7.StartAddrMinInjTime, 0);
    EXPECT_FALSE(l7.ShowPcnTrtTab);
}

}  // namespace
}  // namespace veltrano
