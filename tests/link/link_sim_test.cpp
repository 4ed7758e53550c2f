// The link against the ECU simulator over a pseudo-terminal (wire timing off for speed).
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "link/obdii.h"
#include "sim/ecu_simulator.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

template <class Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::uint8_t Service(const Bytes& f) {
    return f[0] == 0x80 ? f[4] : f[3];
}

class LinkWithSim : public ::testing::Test {
  protected:
    void StartSim() {
        EcuSimOptions o;
        o.wireTiming = false;
        o.answerDelayMs = 1;
        sim = std::make_unique<EcuSimulator>(o);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
    }

    // Connects and starts polling with a short request pause.
    void Connect(int baud) {
        StartSim();
        link = std::make_unique<TOBDII>(sim->DevicePath(), baud, 10400, 100, false, false, 30,
                                        Hooks());
        ASSERT_TRUE(link->Running());
        ASSERT_TRUE(link->ConnectToECU());
        link->SleepTimeWrite = 2;
    }

    LinkHooks Hooks() {
        LinkHooks h;
        h.messages = &messages;
        h.progress = [this](int intake, int max) {
            std::lock_guard<std::mutex> lock(progress_mutex);
            progress.emplace_back(intake, max);
        };
        return h;
    }

    // Requests the ECU has received, by service byte.
    std::vector<std::uint8_t> Services() {
        std::vector<std::uint8_t> s;
        for (const auto& f : sim->Requests())
            s.push_back(Service(f));
        return s;
    }

    std::size_t WritesTo(int address) {
        std::size_t n = 0;
        for (const auto& f : sim->Requests()) {
            n += Service(f) == 0x3D && f[6] == (address >> 8) && f[7] == (address & 0xFF);
        }
        return n;
    }

    // Waits for the next record published after this call.
    bool NextRecord() {
        link->SetIsNew(false);
        return link->WaitForNewRecord(5s);
    }

    RecordedMessages messages;
    std::mutex progress_mutex;
    std::vector<std::pair<int, int>> progress;
    std::unique_ptr<EcuSimulator> sim;
    std::unique_ptr<TOBDII> link;
};

TEST_F(LinkWithSim, ConnectsAtBothSessionSpeeds) {
    for (int baud : {10400, 38400}) {
        SCOPED_TRACE(baud);
        Connect(baud);
        const EcuStatus s = sim->Status();
        EXPECT_TRUE(s.communicating);
        EXPECT_TRUE(s.diagnosticSession);
        EXPECT_EQ(s.lineBaud, baud);
        EXPECT_TRUE(link->TesterPres.load());
        link->Flag = true;
        ASSERT_TRUE(NextRecord());
        EXPECT_EQ(link->Live().block, 0x01);
        EXPECT_TRUE(link->Stop());
        EXPECT_FALSE(sim->Status().communicating);
    }
}

TEST_F(LinkWithSim, PollsBothBlocksAndWritesTheOltBlockOnce) {
    Connect(10400);
    const Bytes olt_image = sim->ReadMemory(0x5F00, 16640);
    Bytes olt = olt_image;
    for (auto& b : olt)
        b = static_cast<std::uint8_t>(b ^ 0x5A);
    link->WithTables([&](TOBDII& l) { l.TableFirmwareOlt = olt; });
    link->Flag = true;
    ASSERT_TRUE(NextRecord());
    const LiveRecord first = link->Live();
    EXPECT_EQ(first.block, 0x01);
    EXPECT_GT(first.FsensorCrankshaftSpeed, 0.0);

    link->FlagOLT = true;
    ASSERT_TRUE(WaitUntil([&] { return link->FlagWriteFirmware.load(); }, 30s));
    ASSERT_TRUE(NextRecord());
    ASSERT_TRUE(NextRecord());
    EXPECT_EQ(link->Live().block, 0x0F);
    EXPECT_TRUE(sim->Status().oltMode);
    EXPECT_EQ(sim->ReadMemory(0x5F00, 16640), olt);
    EXPECT_EQ(WritesTo(0x5F00), 1u);
    EXPECT_EQ(std::count(progress.begin(), progress.end(), std::make_pair(0, 260)), 1);
    EXPECT_TRUE(link->Stop());
}

TEST_F(LinkWithSim, WriteProceduresLandInEcuMemory) {
    Connect(38400);
    link->Flag = true;
    ASSERT_TRUE(NextRecord());

    Bytes uoz(256), block(100), pcn(256), uoz_ram(256);
    for (int i = 0; i < 256; ++i) {
        uoz[i] = static_cast<std::uint8_t>(i);
        pcn[i] = static_cast<std::uint8_t>(255 - i);
        uoz_ram[i] = static_cast<std::uint8_t>(i * 7);
    }
    for (int i = 0; i < 100; ++i)
        block[i] = static_cast<std::uint8_t>(0xA0 + i);
    ASSERT_TRUE(link->RequestWrite(WriteRequest::UOZ, uoz, 0x7CF7));
    ASSERT_TRUE(link->RequestWrite(WriteRequest::TableOLT, block, 0x7000));
    ASSERT_TRUE(link->RequestWrite(WriteRequest::PCN_RAM, pcn, -1, 0x04));
    ASSERT_TRUE(NextRecord());
    ASSERT_TRUE(NextRecord());
    EXPECT_EQ(sim->ReadMemory(0x7CF7, 256), uoz);
    EXPECT_EQ(sim->ReadMemory(0x7000, 100), block);
    EXPECT_EQ(sim->ReadMemory(0xFE00, 256), pcn);
    EXPECT_EQ(sim->Status().ramCode, 0x04);

    ASSERT_TRUE(link->RequestWrite(WriteRequest::UOZ_DAD_RAM, uoz_ram, -1, 0x05));
    ASSERT_TRUE(NextRecord());
    ASSERT_TRUE(NextRecord());
    EXPECT_EQ(sim->ReadMemory(0xFE00, 256), uoz_ram);
    int releases = 0, captures = 0;
    for (const auto& f : sim->Requests()) {
        if (Service(f) == 0x30 && f[4] == 0x71)
            ++(f[5] == 0x00 ? releases : captures);
    }
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(sim->Status().ramCode, 0x04);  // the first capture stays in force
    EXPECT_TRUE(link->Stop());
}

TEST_F(LinkWithSim, TroubleCodesClearThenReadInOneCycle) {
    Connect(10400);
    link->Flag_Read_Error = true;
    link->Flag = true;
    ASSERT_TRUE(WaitUntil([&] { return !link->Flag_Read_Error.load(); }));
    EXPECT_EQ(link->OBD_ERROR.Items(), (std::vector<std::string>{"P0130", "P0340"}));

    link->Flag_Clear_Error = true;
    ASSERT_TRUE(WaitUntil([&] { return !link->Flag_Clear_Error && !link->Flag_Read_Error; }));
    ASSERT_TRUE(NextRecord());
    EXPECT_TRUE(link->OBD_ERROR.Items().empty());
    const auto s = Services();
    const auto clear = std::find(s.begin(), s.end(), 0x14);
    ASSERT_NE(clear, s.end());
    ASSERT_NE(clear, s.begin());
    ASSERT_NE(clear + 1, s.end());
    EXPECT_EQ(std::count(s.begin(), s.end(), 0x14), 1);
    EXPECT_EQ(*(clear - 1), 0x21);
    EXPECT_EQ(*(clear + 1), 0x18);
    EXPECT_TRUE(sim->Status().troubleCodes.empty());
    EXPECT_TRUE(link->Stop());
}

TEST_F(LinkWithSim, LostLinkStopsPollingAndStopReportsIt) {
    Connect(10400);
    link->Flag = true;
    ASSERT_TRUE(NextRecord());
    EcuFaults f;
    f.dropAll = true;
    sim->SetFaults(f);
    ASSERT_TRUE(WaitUntil([&] { return !link->Flag.load(); }, 15s));
    EXPECT_TRUE(link->Flag_outDiag.load());
    const std::size_t requests = sim->Requests().size();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(sim->Requests().size(), requests);  // polling has stopped
    EXPECT_TRUE(link->Running());                 // the thread idles on

    sim->ClearRequests();
    EXPECT_FALSE(link->Stop());
    EXPECT_EQ(Services(), (std::vector<std::uint8_t>{0x20}));
    EXPECT_FALSE(link->Flag_outDiag.load());
    EXPECT_FALSE(link->Running());
}

TEST_F(LinkWithSim, StopDuringALongWriteToASilentEcuDoesNotWaitForEveryBlock) {
    Connect(10400);
    link->WithTables([](TOBDII& l) { l.TableFirmwareOlt.assign(16640, 0x42); });
    link->FlagOLT = true;
    link->Flag = true;
    ASSERT_TRUE(WaitUntil([&] { return WritesTo(0x5F00) == 1 && sim->Requests().size() > 20; }));
    EcuFaults f;
    f.dropAll = true;
    sim->SetFaults(f);
    ASSERT_TRUE(WaitUntil([&] { return link->Flag_outDiag.load(); }, 15s));
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(link->Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    std::size_t blocks = 0;
    for (const auto& r : sim->Requests())
        blocks += Service(r) == 0x3D;
    EXPECT_LT(blocks, 100u);
}

TEST_F(LinkWithSim, SecondLinkOnTheSamePortDoesNotDisturbTheFirst) {
    Connect(10400);
    link->Flag = true;
    ASSERT_TRUE(NextRecord());
    RecordedMessages second_messages;
    LinkHooks h;
    h.messages = &second_messages;
    {
        TOBDII second(sim->DevicePath(), 10400, 10400, 100, false, false, 30, std::move(h));
        EXPECT_FALSE(second.Running());
        ASSERT_EQ(second_messages.entries.size(), 1u);
        EXPECT_FALSE(second.ConnectToECU());
    }
    EXPECT_TRUE(link->Running());
    EXPECT_TRUE(LinkRunning.load());
    ASSERT_TRUE(NextRecord());
    EXPECT_TRUE(link->Stop());
    EXPECT_FALSE(LinkRunning.load());
}

TEST_F(LinkWithSim, DestroyingAnIdleLinkEndsItsThread) {
    StartSim();
    const auto begin = std::chrono::steady_clock::now();
    {
        TOBDII idle(sim->DevicePath(), 10400, 10400, 100, false, false, 30, Hooks());
        ASSERT_TRUE(idle.Running());
        EXPECT_TRUE(LinkRunning.load());
    }
    EXPECT_FALSE(LinkRunning.load());
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
}

}  // namespace
}  // namespace veltrano
