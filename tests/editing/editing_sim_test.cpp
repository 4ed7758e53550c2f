// On-line edits reach the simulated ECU's memory through a real link on a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "calibration/link_tables.h"
#include "common/messages.h"
#include "editing/key_editors.h"
#include "link/obdii.h"
#include "sim/ecu_simulator.h"

namespace veltrano {
namespace {

using namespace std::chrono_literals;

class EditingOverSimulator : public ::testing::Test {
  protected:
    void SetUp() override {
        image = MakeDemoImage(DefaultDemoOptions());
        ASSERT_TRUE(OpenCalibrationBytes(image, messages, calibration, ','));
        EcuSimOptions options;
        options.image = image;
        options.wireTiming = false;
        options.answerDelayMs = 2;
        sim = std::make_unique<EcuSimulator>(options);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
        link = std::make_unique<TOBDII>(sim->DevicePath(), 10400, 10400, 0, false, false, 30);
        ASSERT_TRUE(link->Running());
        ASSERT_TRUE(link->ConnectToECU());
        LoadTables();
        link->SleepTimeWrite = 5;
        link->FlagWriteFirmware = true;  // the once-per-session OLT block is not under test
        link->FlagOLT = true;
        link->Flag = true;

        ctx.firmware = &calibration.firmware;
        ctx.layout = &calibration.layout;
        ctx.link = link.get();
        ctx.messages = &messages;
        ctx.sep = ',';
        ctx.radios.RadioOlt = true;
    }
    void TearDown() override {
        if (link)
            link->Stop();
        if (sim)
            sim->Stop();
    }

    // What the window does after a connect: the image's tables and addresses go to the link.
    void LoadTables() {
        const LinkTableImages tables =
            LinkTablesFromImage(calibration.firmware, calibration.layout);
        const FirmwareLayout& layout = calibration.layout;
        link->WithTables([&](TOBDII& l) {
            l.TablePCN = tables.TablePCN;
            l.TableBCN = tables.TableBCN;
            l.TableUOZ = tables.TableUOZ;
            l.TableAFR = tables.TableAFR;
            l.StartAddrPCN = layout.StartAddrPCN;
            l.StartAddrBCN = layout.StartAddrBCN;
            l.StartAddrUOZ = layout.StartAddrUOZ;
            l.StartAddrAFR = layout.StartAddrAFR;
        });
    }

    // Waits until the ECU holds `want` at `address`.
    bool EcuHolds(std::uint16_t address, const std::vector<std::uint8_t>& want) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (sim->ReadMemory(address, want.size()) == want)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    std::vector<std::uint8_t> image;
    RecordedMessages messages;
    Calibration calibration;
    std::unique_ptr<EcuSimulator> sim;
    std::unique_ptr<TOBDII> link;
    EditContext ctx;
};

TEST_F(EditingOverSimulator, PcnKeyLandsAtTheTableAddress) {
    const std::uint16_t start = calibration.layout.StartAddrPCN;
    ASSERT_NE(start, 0);
    const std::size_t i = (2 - 1) * 16 + (3 - 1);
    const std::uint8_t before = image[start + i];
    ASSERT_LT(before, 255);
    SG_PCNKeyPress(ctx, calibration.grids.SG_PCN, {3, 2, 3, 2}, U'+');
    EXPECT_EQ(calibration.firmware.FFirmwareData[start + i], before + 1);
    EXPECT_TRUE(EcuHolds(start + i, {static_cast<std::uint8_t>(before + 1)}));
    EXPECT_EQ(sim->ReadMemory(start + i + 1, 1)[0], image[start + i + 1]);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(EditingOverSimulator, DataTabKeyLandsAtItsAddress) {
    const std::uint16_t launch = 0x605B;
    const std::uint8_t before = image[launch];
    ASSERT_LT(before, 255);
    SG_UOZKeyPress(ctx, calibration.grids.SG_UOZ, {1, 1, 1, 1}, U'x');  // ignored
    RzStringGrid8KeyPress(ctx, calibration.grids.RzStringGrid8, U'+');
    EXPECT_TRUE(EcuHolds(launch, {static_cast<std::uint8_t>(before + 1)}));
    // Once the write is served, the next key is accepted.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (link->FlagRewraiteTableOLT && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    RzStringGrid8KeyPress(ctx, calibration.grids.RzStringGrid8, U'+');
    EXPECT_TRUE(EcuHolds(launch, {static_cast<std::uint8_t>(before + 2)}));
}

}  // namespace
}  // namespace veltrano
