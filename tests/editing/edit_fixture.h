// A small world for the table editors: a zeroed 64 KiB image with a layout, grids, a link object
// on a line that never answers (its thread idles because polling is never enabled), recorded
// messages and a recorder of the learning resets.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calibration/calibration_grids.h"
#include "calibration/firmware.h"
#include "common/messages.h"
#include "editing/edit_context.h"
#include "link/obdii.h"
#include "link/serial_line.h"

namespace veltrano::test {

class IdleLine final : public SerialLine {
  public:
    explicit IdleLine(bool usable = true) : usable_(usable) {}
    bool Open(const std::string&) override { return open_ = true; }
    bool SetLine(int) override { return usable_; }
    void Purge() override {}
    long Write(const std::uint8_t*, std::size_t n) override { return static_cast<long>(n); }
    long Waiting() override { return 0; }
    long Read(std::uint8_t*, std::size_t) override { return 0; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }

  private:
    bool usable_;
    bool open_ = false;
};

class RecordingListener final : public PcnEditListener {
  public:
    void PcnRewriteRequested(PcnRewrite kind) override { calls.push_back(kind); }
    std::vector<PcnRewrite> calls;
};

class EditFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        firmware.FFirmwareData.assign(65536, 0);
        layout.FirmwareLoaded = true;
        layout.StartAddrPCN = 0x7CF7;
        layout.StartAddrBCN = 0x75EF;
        layout.StartAddrUOZ = 0x6DC8;
        layout.StartAddrAFR = 0x6953;
        layout.StartAddrPcn_32x32 = 0x9294;
        ctx.firmware = &firmware;
        ctx.layout = &layout;
        ctx.messages = &messages;
        ctx.learning = &learning;
        ctx.sep = ',';
    }

    // Makes a link object whose thread runs (on line) without ever polling; with `running`
    // false, a link object whose port could not be configured (its thread never runs).
    void Connect(bool running = true) {
        LinkHooks hooks;
        hooks.line = std::make_unique<IdleLine>(running);
        link =
            std::make_unique<TOBDII>("idle", 10400, 10400, 0, false, false, 30, std::move(hooks));
        ctx.link = link.get();
    }

    // Every cell (c, r), c and r 1..n, := text(c, r).
    static void Fill(TextGrid& grid, int n, const std::function<std::string(int, int)>& text) {
        for (int r = 1; r <= n; ++r) {
            for (int c = 1; c <= n; ++c)
                grid.SetCell(c, r, text(c, r));
        }
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> out;
        for (const auto& e : messages.entries)
            out.push_back(e.text);
        return out;
    }

    TFirmware firmware;
    FirmwareLayout layout;
    CalibrationGrids grids;
    RecordedMessages messages;
    RecordingListener learning;
    std::unique_ptr<TOBDII> link;
    EditContext ctx;
};

}  // namespace veltrano::test
