#include <gtest/gtest.h>

#include "common/messages.h"
#include "learning/table_transfer.h"
#include "tests/learning/fake_link.h"

namespace veltrano {
namespace {

constexpr char kSep = ',';

class PcnSwitchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::uint8_t> bytes(65536, 0);
        for (int k = 0; k < 256; ++k) {
            bytes[kAddrPcnTrt + k] = 64;  // throttle-indexed PCN: 0.5
            bytes[0x9294 + k] = 192;      // pressure-indexed PCN: 1.5
            bytes[0x6000 + k] = 10;       // BCN
        }
        SilentMessages messages;
        ASSERT_TRUE(firmware.LoadFirmwareBytes(bytes, messages));
        for (int i = 0; i < 16; ++i) {
            firmware.FThrottleAxis[i] = 5 * i;
            firmware.FDADAxis[i] = 20 + 6 * i;
        }
        layout.firmwareName = "J7ES";
        layout.FirmwareLoaded = true;
        layout.FlagPcnGridDad = true;
        layout.StartAddrPCN = 0x9294;
        layout.StartAddrBCN = 0x6000;
        layout.StartAddrAFR = 0x6100;
        layout.StartAddrUOZ = 0x6200;
    }
    TFirmware firmware;
    FirmwareLayout layout;
    CalibrationGrids grids;
    FakeLink link;
};

TEST_F(PcnSwitchTest, CheckedLearnsTheThrottleTableAndBack) {
    SwitchPcnTable(true, firmware, layout, grids, false, &link, kSep);
    EXPECT_FALSE(layout.FlagPcnGridDad);
    EXPECT_EQ(layout.StartAddrPCN, kAddrPcnTrt);
    EXPECT_EQ(grids.SG_PCN.Cell(1, 1), "0,5");
    EXPECT_EQ(grids.SG_PCN.Cell(0, 16), "75");
    EXPECT_EQ(grids.RzStringGrid2.Cell(0, 2), "5");
    EXPECT_EQ(link.Tables().TablePCN[0], 0);  // disconnected: the link is loaded at connect

    SwitchPcnTable(false, firmware, layout, grids, true, &link, kSep);
    EXPECT_TRUE(layout.FlagPcnGridDad);
    EXPECT_EQ(layout.StartAddrPCN, 0x9294);
    EXPECT_EQ(grids.SG_PCN.Cell(16, 16), "1,5");
    EXPECT_EQ(grids.SG_PCN.Cell(0, 1), "20");
    const LinkTables t = link.Tables();
    EXPECT_EQ(t.TablePCN[255], 192);
    EXPECT_EQ(t.TableBCN[0], 10);
    EXPECT_EQ(t.StartAddrPCN, 0x9294);
    EXPECT_EQ(t.StartAddrBCN, 0x6000);
    EXPECT_TRUE(link.firmwareRequestsCleared);
}

TEST_F(PcnSwitchTest, OtherVariantsKeepTheirPressureTableAddress) {
    layout.firmwareName = "J7SPT";
    layout.StartAddrPCN = 0x9000;
    SwitchPcnTable(false, firmware, layout, grids, false, nullptr, kSep);
    EXPECT_EQ(layout.StartAddrPCN, 0x9000);
    EXPECT_TRUE(layout.FlagPcnGridDad);
}

TEST_F(PcnSwitchTest, LoadLinkTablesNeedsAnImage) {
    layout.FirmwareLoaded = false;
    LoadLinkTables(firmware, layout, link);
    EXPECT_EQ(link.Tables().TablePCN[0], 0);
    EXPECT_FALSE(link.firmwareRequestsCleared);
    layout.FirmwareLoaded = true;
    LoadLinkTables(firmware, layout, link);
    EXPECT_EQ(link.Tables().TablePCN[0], 192);
    EXPECT_EQ(link.Tables().TableFirmwareOlt.size(), firmware.FFirmwareWriteOlt.size());
}

// The connect's one loading operation: buffers, addresses and, for "J7ES" only, the 32x32
// PCN and the 39-byte table at 0x8C27.
TEST_F(PcnSwitchTest, LoadLinkTablesFillsBuffersAndAddressesOfTheVariant) {
    std::vector<std::uint8_t> bytes(65536, 0);
    for (int k = 0; k < 39; ++k)
        bytes[0x8C27 + k] = static_cast<std::uint8_t>(100 + k);
    SilentMessages messages;
    ASSERT_TRUE(firmware.LoadFirmwareBytes(bytes, messages));
    for (const char* variant : {"J7ES", "J7.2"}) {
        SCOPED_TRACE(variant);
        const bool j7es = std::string(variant) == "J7ES";
        layout.firmwareName = variant;
        FakeLink fresh;
        LoadLinkTables(firmware, layout, fresh);
        const LinkTables t = fresh.Tables();
        EXPECT_EQ(t.TableTzar[0], j7es ? 100 : 0);
        EXPECT_EQ(t.TableTzar[38], j7es ? 138 : 0);
        EXPECT_EQ(t.StartAddrTZar, j7es ? 0x8C27 : 0);
        EXPECT_EQ(t.StartAddrPCN, 0x9294);
        EXPECT_EQ(t.StartAddrBCN, 0x6000);
        EXPECT_EQ(t.StartAddrAFR, 0x6100);
        EXPECT_EQ(t.StartAddrUOZ, 0x6200);
        EXPECT_EQ(t.StartAddrPcn_32x32, 0x9294);
    }
}

}  // namespace
}  // namespace veltrano
