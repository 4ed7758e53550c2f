// The poll cycle, the table writes and the stop sequence over a fake line.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>

#include "tests/link/link_test_support.h"

namespace veltrano::test {
namespace {

std::uint8_t Service(const Bytes& f) {
    return f[0] == 0x80 ? f[4] : f[3];
}

// "21", "3D 7CF7 64", "30 71 00": a readable digest of each written frame.
std::vector<std::string> Digest(const std::vector<Bytes>& frames) {
    std::vector<std::string> out;
    char text[40];
    for (const auto& f : frames) {
        const std::uint8_t sid = Service(f);
        if (sid == 0x3D) {
            std::snprintf(text, sizeof text, "3D %02X%02X %d", f[6], f[7], f[8]);
        } else if (sid == 0x21 || sid == 0x30 || sid == 0x14 || sid == 0x18) {
            std::snprintf(text, sizeof text, "%02X %02X", sid, f[4]);
            if (sid == 0x30)
                std::snprintf(text, sizeof text, "30 %02X %02X", f[4], f[5]);
        } else {
            std::snprintf(text, sizeof text, "%02X", sid);
        }
        out.emplace_back(text);
    }
    return out;
}

Bytes Ramp(std::size_t n, int start = 0) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), static_cast<std::uint8_t>(start));
    return b;
}

using Strings = std::vector<std::string>;

TEST(PollCycle, WritesComeFirstThenLiveDataThenTroubleCodes) {
    LinkRig rig;
    ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::PCN, Ramp(256), 0x7CF7));
    rig.link->Flag_Read_Error = true;
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()),
              (Strings{"3D 7CF7 64", "3D 7D37 64", "3D 7D77 64", "3D 7DB7 64", "21 01", "18 00"}));
    EXPECT_FALSE(rig.link->FlagReWritePCN.load());
    EXPECT_FALSE(rig.link->Flag_Read_Error.load());
    EXPECT_TRUE(rig.link->IsNew());
}

TEST(PollCycle, ClearThenReadInOneCycle) {
    LinkRig rig;
    rig.link->Flag_Clear_Error = true;
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"21 01", "14 FF", "18 00"}));
    EXPECT_FALSE(rig.link->Flag_Clear_Error.load());
    EXPECT_FALSE(rig.link->Flag_Read_Error.load());
    EXPECT_EQ(rig.link->OBD_ERROR.Items(), Strings{"P0130"});
}

TEST(PollCycle, RefusedClearIsRepeatedNextCycle) {
    LinkRig rig;
    rig.line->answer = [](const Bytes& f) -> std::vector<Reply> {
        if (f[3] == 0x14)
            return {{WithSum({0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22})}};
        return EcuAnswer(f);
    };
    rig.link->Flag_Clear_Error = true;
    rig.link->GetECUComplectation();
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"21 01", "14 FF", "21 01", "14 FF"}));
    EXPECT_TRUE(rig.link->Flag_Clear_Error.load());
}

TEST(PollCycle, FourUnansweredRecordsStopPolling) {
    LinkRig rig(false);
    rig.link->Flag = false;
    for (int i = 1; i <= 4; ++i)
        rig.link->GetECUComplectation();
    EXPECT_TRUE(rig.link->Flag_outDiag.load());
    EXPECT_EQ(rig.NewWrites().size(), 4u);
    rig.link->GetECUComplectation();
    EXPECT_TRUE(rig.NewWrites().empty());
    EXPECT_FALSE(rig.link->Flag.load());
}

TEST(PollCycle, OltModeSwitchesToRamThenWritesTheOltBlockOnce) {
    LinkRig rig;
    rig.link->WithTables([](TOBDII& l) { l.TableFirmwareOlt = Ramp(130); });
    rig.link->FlagOLT = true;
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"21 0F", "30 0F 06"}));
    EXPECT_TRUE(rig.link->FlagSwitchToRam.load());
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"3D 5F00 64", "3D 5F40 64", "3D 5F80 2", "21 0F"}));
    EXPECT_TRUE(rig.link->FlagWriteFirmware.load());
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"21 0F"}));
    EXPECT_EQ(rig.link->Live().FsensorCrankshaftSpeed, 3000.0);
}

TEST(PollCycle, OltBlockNotConfirmedIsSentAgainThenGivenUpVisibly) {
    for (const bool lastAttemptOk : {true, false}) {
        SCOPED_TRACE(lastAttemptOk ? "confirmed at the last attempt" : "never confirmed");
        LinkRig rig;
        auto refusing = std::make_shared<bool>(true);
        rig.line->answer = [refusing](const Bytes& f) -> std::vector<Reply> {
            if (Service(f) == 0x3D && *refusing)
                return {{WithSum({0x83, 0xF1, 0x10, 0x7F, 0x3D, 0x22})}};
            return EcuAnswer(f);
        };
        rig.link->WithTables([](TOBDII& l) { l.TableFirmwareOlt = Ramp(130); });
        rig.link->FlagOLT = true;
        rig.link->GetECUComplectation();  // the switch to RAM
        for (int attempt = 1; attempt <= TOBDII::kWriteAttempts; ++attempt) {
            *refusing = !(lastAttemptOk && attempt == TOBDII::kWriteAttempts);
            rig.NewWrites();
            rig.link->ErrorRead = 0;
            rig.link->GetECUComplectation();
            EXPECT_EQ(Digest(rig.NewWrites()).front(), "3D 5F00 64");
            EXPECT_EQ(rig.link->FlagWriteFirmware.load(), attempt == TOBDII::kWriteAttempts);
        }
        EXPECT_EQ(rig.link->FirmwareOltFailed.load(), !lastAttemptOk);
        EXPECT_EQ(rig.link->WriteFailures.load(), lastAttemptOk ? 0 : 1);
    }
}

// Stopping during a long block write: an ECU that confirms gets the whole block, one that
// refuses gets nothing after the first refused block.
TEST(TableWrites, StopDuringABlockWriteEndsItOnlyWhenTheEcuStopsConfirming) {
    for (const bool confirming : {true, false}) {
        SCOPED_TRACE(confirming ? "confirming ECU" : "refusing ECU");
        LinkRig rig;
        TOBDII* link = rig.link.get();
        auto blocks = std::make_shared<std::atomic<int>>(0);
        rig.line->answer = [link, blocks, confirming](const Bytes& f) -> std::vector<Reply> {
            if (Service(f) != 0x3D)
                return EcuAnswer(f);
            if (++*blocks == 2) {  // the owner stops the link while this block is out
                for (int i = 0; i < 2000 && link->Running(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (confirming)
                return EcuAnswer(f);
            return {{WithSum({0x83, 0xF1, 0x10, 0x7F, 0x3D, 0x22})}};
        };
        ASSERT_TRUE(link->RequestWrite(WriteRequest::TableOLT, Ramp(640), 0x6000));
        link->Flag = true;
        for (int i = 0; i < 2000 && *blocks < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        link->Stop();
        EXPECT_EQ(blocks->load(), confirming ? 10 : 2);
    }
}

TEST(PollCycle, ExtendedBlockForVariantsThatNeedIt) {
    LinkRig rig;
    rig.link->Flag_OLT_DAD = true;
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"21 0F"}));
}

TEST(TableWrites, AllRequestsInTheirOrder) {
    LinkRig rig;
    auto& l = *rig.link;
    ASSERT_TRUE(l.RequestWrite(WriteRequest::PCN, Ramp(256), 0x1000));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::Pcn_32x32, Ramp(1024), 0x9294));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::UOZ, Ramp(256), 0x2000));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::AFR, Ramp(256), 0x3000));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::BCN, Ramp(256), 0x4000));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::TableOLT, Ramp(16), 0x71D8));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::PCN_RAM, Ramp(256), -1, 0x04));
    ASSERT_TRUE(l.RequestWrite(WriteRequest::UOZ_DAD_RAM, Ramp(256), -1, 0x05));
    l.GetECUComplectation();
    Strings want;
    auto four = [&](int a) {
        for (int k = 0; k < 4; ++k) {
            char t[20];
            std::snprintf(t, sizeof t, "3D %04X 64", a + 64 * k);
            want.push_back(t);
        }
    };
    four(0x1000);
    for (int k = 0; k < 16; ++k) {
        char t[20];
        std::snprintf(t, sizeof t, "3D %04X 64", 0x9294 + 64 * k);
        want.push_back(t);
    }
    four(0x2000);
    four(0x3000);
    four(0x4000);
    want.push_back("3D 71D8 16");
    want.push_back("30 71 00");
    four(0xFE00);
    want.push_back("30 71 05");  // RAM.ID as the last requester left it
    four(0xFE00);
    want.push_back("21 01");
    EXPECT_EQ(Digest(rig.NewWrites()), want);
    for (auto kind : {WriteRequest::PCN, WriteRequest::Pcn_32x32, WriteRequest::UOZ,
                      WriteRequest::AFR, WriteRequest::BCN, WriteRequest::TableOLT,
                      WriteRequest::PCN_RAM, WriteRequest::UOZ_DAD_RAM}) {
        EXPECT_FALSE(l.FlagFor(kind).load());
    }
}

TEST(TableWrites, FirmwareTableFramesAt7CF7) {
    LinkRig rig;
    const Bytes table = Ramp(256);
    rig.link->WriteTableFirmware(std::span<const std::uint8_t, 256>(table.data(), 256), 0x7CF7);
    const auto w = rig.NewWrites();
    ASSERT_EQ(w.size(), 4u);
    const Bytes heads[] = {{0x00, 0x7C, 0xF7, 0x40},
                           {0x00, 0x7D, 0x37, 0x40},
                           {0x00, 0x7D, 0x77, 0x40},
                           {0x00, 0x7D, 0xB7, 0x40}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Bytes(w[k].begin(), w[k].begin() + 5), (Bytes{0x80, 0x10, 0xF1, 0x45, 0x3D}));
        EXPECT_EQ(Bytes(w[k].begin() + 5, w[k].begin() + 9), heads[k]);
        EXPECT_EQ(Bytes(w[k].begin() + 9, w[k].end() - 1), Ramp(64, 64 * k));
    }
    EXPECT_EQ(rig.link->SleepCountData.load(), 82);
}

TEST(TableWrites, BlockWriteSizesAndProgress) {
    struct Case {
        const char* name;
        std::size_t length;
        int address;
        Strings frames;
        std::vector<std::pair<int, int>> progress;
    } cases[] = {
        {"2 bytes", 2, 0x71D8, {"3D 71D8 2"}, {{1, 1}, {0, 1}}},
        {"100 bytes", 100, 0x6000, {"3D 6000 64", "3D 6040 36"}, {{1, 2}, {2, 2}, {0, 2}}},
        {"128 bytes", 128, 0x6000, {"3D 6000 64", "3D 6040 64"}, {{1, 2}, {2, 2}, {0, 2}}},
        {"above 0xFFFF", 1, 0x17CF7, {"3D 7CF7 1"}, {{1, 1}, {0, 1}}},
        {"empty", 0, 0x6000, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        const Bytes data = Ramp(c.length);
        rig.link->WriTeDataOLT(data, c.address);
        const auto w = rig.NewWrites();
        EXPECT_EQ(Digest(w), c.frames);
        EXPECT_EQ(rig.progress, c.progress);
        if (c.length == 2) {
            EXPECT_EQ(w[0], WithSum({0x80, 0x10, 0xF1, 0x07, 0x3D, 0x00, 0x71, 0xD8, 0x02, 0, 1}));
        }
    }
}

TEST(TableWrites, RamReleaseAndCaptureOnlyAroundTheFirstRamWrite) {
    LinkRig rig;
    ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::PCN_RAM, Ramp(256), -1, 0x13));
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()), (Strings{"30 71 00", "3D FE00 64", "3D FE40 64",
                                                "3D FE80 64", "3D FEC0 64", "30 71 13", "21 01"}));
    ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::UOZ_DAD_RAM, Ramp(256), -1, 0x12));
    rig.link->GetECUComplectation();
    EXPECT_EQ(Digest(rig.NewWrites()),
              (Strings{"3D FE00 64", "3D FE40 64", "3D FE80 64", "3D FEC0 64", "21 01"}));
}

TEST(TableWrites, RequestRaisedDuringAWriteIsServedNextCycle) {
    LinkRig rig;
    TOBDII* link = rig.link.get();
    auto raised = std::make_shared<bool>(false);
    rig.line->answer = [link, raised](const Bytes& f) {
        if (Service(f) == 0x3D && !*raised) {
            *raised = true;  // an editor steps the table while its old copy is on the wire
            link->RequestWrite(WriteRequest::BCN, Bytes(256, 0xAB), 0x5000);
        }
        return EcuAnswer(f);
    };
    ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::BCN, Bytes(256, 0x11), 0x5000));
    rig.link->GetECUComplectation();
    auto w = rig.NewWrites();
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(w[0][9], 0x11);
    EXPECT_EQ(w[3][9], 0x11);  // the copy taken at the start is sent whole
    EXPECT_TRUE(rig.link->FlagReWriteBCN.load());
    rig.link->GetECUComplectation();
    w = rig.NewWrites();
    ASSERT_EQ(w.size(), 5u);
    EXPECT_EQ(w[0][9], 0xAB);
    EXPECT_FALSE(rig.link->FlagReWriteBCN.load());
}

// A write the ECU does not confirm is raised again; after the last attempt it is given up
// where the owner can see it, and a later delivered write clears that.
TEST(TableWrites, UnconfirmedWriteIsRetriedThenReportedAsFailed) {
    struct Case {
        const char* name;
        int refusedCycles;  // cycles whose 3D requests get a negative answer
        bool failed;
        int writeCycles;  // cycles that sent the table
    } cases[] = {
        {"confirmed at once", 0, false, 1},
        {"confirmed on the second attempt", 1, false, 2},
        {"never confirmed", 5, true, TOBDII::kWriteAttempts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        auto cycle = std::make_shared<int>(0);
        const int refused = c.refusedCycles;
        rig.line->answer = [cycle, refused](const Bytes& f) -> std::vector<Reply> {
            if (Service(f) == 0x3D && *cycle < refused)
                return {{WithSum({0x83, 0xF1, 0x10, 0x7F, 0x3D, 0x22})}};
            return EcuAnswer(f);
        };
        ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::AFR, Bytes(256, 0x21), 0x6000));
        int writeCycles = 0;
        for (*cycle = 0; *cycle < 5; ++*cycle) {
            rig.link->ErrorRead = 0;  // refusals are not a lost line here
            rig.link->GetECUComplectation();
            const auto w = rig.NewWrites();
            writeCycles += w.size() > 1 && Service(w[0]) == 0x3D;
        }
        EXPECT_EQ(writeCycles, c.writeCycles);
        EXPECT_FALSE(rig.link->FlagReWriteAFR.load());
        EXPECT_EQ(rig.link->WriteFailed(WriteRequest::AFR), c.failed);
        EXPECT_EQ(rig.link->WriteFailures.load(), c.failed ? 1 : 0);
        if (c.failed) {
            ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::AFR, Bytes(256, 0x22), 0x6000));
            rig.link->GetECUComplectation();
            EXPECT_FALSE(rig.link->WriteFailed(WriteRequest::AFR));
        }
    }
}

TEST(TableWrites, ConfirmationOfAnotherBlockDoesNotCount) {
    LinkRig rig;
    rig.line->answer = [](const Bytes& f) -> std::vector<Reply> {
        if (Service(f) == 0x3D)  // always names address 0x1234
            return {{WithSum({0x84, 0xF1, 0x10, 0x7D, 0x00, 0x12, 0x34})}};
        return EcuAnswer(f);
    };
    ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::UOZ, Bytes(256, 0x05), 0x6100));
    rig.link->GetECUComplectation();
    EXPECT_TRUE(rig.link->FlagReWriteUoz.load());  // raised again for the next cycle
}

TEST(TableWrites, WrongSizesAreRefused) {
    LinkRig rig;
    EXPECT_FALSE(rig.link->RequestWrite(WriteRequest::PCN, Ramp(255)));
    EXPECT_FALSE(rig.link->RequestWrite(WriteRequest::Pcn_32x32, Ramp(256)));
    EXPECT_FALSE(rig.link->RequestWrite(WriteRequest::TableOLT, Ramp(4)));  // no address
    EXPECT_FALSE(rig.link->FlagReWritePCN.load());
    EXPECT_FALSE(rig.link->FlagRewraiteTableOLT.load());
}

TEST(StopSequence, Outcomes) {
    struct Case {
        const char* name;
        bool answering;
        bool result;
        Strings frames;
    } cases[] = {
        {"answering ECU", true, true, {"20", "82"}},
        {"silent ECU", false, false, {"20"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(c.answering, 38400);
        rig.link->FCommunication = true;
        rig.link->FDiagnosticSession = true;
        rig.link->Flag_outDiag = true;
        rig.link->SleepTimeWrite = 40;
        EXPECT_EQ(rig.link->Stop(), c.result);
        EXPECT_EQ(Digest(rig.NewWrites()), c.frames);
        EXPECT_FALSE(rig.link->Running());
        EXPECT_FALSE(rig.line->open);
        EXPECT_FALSE(rig.link->Flag_outDiag.load());
        EXPECT_EQ(rig.link->SleepTimeWrite.load(), 100);
        if (c.answering) {
            EXPECT_EQ(rig.line->Speeds().back(), 10400);
        }
        EXPECT_FALSE(rig.link->Stop());  // a second stop finds the port closed
    }
}

}  // namespace
}  // namespace veltrano::test
