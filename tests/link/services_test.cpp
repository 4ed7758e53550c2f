// Every answer case of the dispatcher and the services' requests.
#include <gtest/gtest.h>

#include "link/link_texts.h"
#include "tests/link/link_test_support.h"

namespace veltrano::test {
namespace {

// The trace after the line the port's opening leaves.
std::vector<std::string> TraceTexts(TOBDII& link) {
    std::vector<std::string> texts;
    for (auto& line : link.FLogList.Items()) {
        if (line.substr(15).rfind("LowLatency", 0) != 0)
            texts.push_back(line.substr(15));
    }
    return texts;
}

struct AnswerCase {
    const char* name;
    Bytes answer;
    std::vector<std::string> trace;  // after "CRC (OK)"
    std::function<bool(TOBDII&)> check;
};

TEST(Dispatcher, AnswerCases) {
    const AnswerCase cases[] = {
        {"C1",
         WithSum({0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F}),
         {link_text::kStartCommunicationOk},
         [](TOBDII& l) { return l.FCommunication && l.SleepTimeWrite == 150; }},
        {"C2",
         WithSum({0x81, 0xF1, 0x10, 0xC2}),
         {link_text::kStopCommunicationOk},
         [](TOBDII& l) { return !l.FCommunication; }},
        {"50",
         WithSum({0x82, 0xF1, 0x10, 0x50, 0x81}),
         {link_text::kStartDiagnosticSessionOk},
         [](TOBDII& l) { return l.FDiagnosticSession && l.StartDiagSession; }},
        {"60",
         WithSum({0x81, 0xF1, 0x10, 0x60}),
         {link_text::kStopDiagnosticSessionOk},
         [](TOBDII& l) { return !l.FDiagnosticSession && !l.StartDiagSession; }},
        {"7E",
         WithSum({0x81, 0xF1, 0x10, 0x7E}),
         {},
         [](TOBDII& l) { return l.TesterPres.load(); }},
        {"54",
         WithSum({0x83, 0xF1, 0x10, 0x54, 0xFF, 0x00}),
         {link_text::kClearDiagnosticInformationOk},
         [](TOBDII& l) { return !l.Flag_Clear_Error && l.Flag_Read_Error; }},
        {"58 one code",
         WithSum({0x85, 0xF1, 0x10, 0x58, 0x01, 0x01, 0x30, 0xE0}),
         {link_text::kReadTroubleCodesOk},
         [](TOBDII& l) {
             return !l.Flag_Read_Error && l.TroubleCodeReads == 1 &&
                    l.OBD_ERROR.Items() == std::vector<std::string>{"P0130"};
         }},
        {"58 no codes",
         WithSum({0x82, 0xF1, 0x10, 0x58, 0x00}),
         {link_text::kReadTroubleCodesOk},
         [](TOBDII& l) {
             return !l.Flag_Read_Error && l.TroubleCodeReads == 1 && l.OBD_ERROR.Count() == 0;
         }},
        {"70",
         WithSum({0x82, 0xF1, 0x10, 0x70, 0x71}),
         {link_text::kSwitchToRamOk},
         [](TOBDII& l) { return l.FlagSwitchToRam.load(); }},
        {"7D",
         WithSum({0x80, 0xF1, 0x10, 0x03, 0x7D, 0x7C, 0xF7}),
         {link_text::kWriteMemoOk},
         [](TOBDII&) { return true; }},
        {"7F",
         WithSum({0x83, 0xF1, 0x10, 0x7F, 0x14, 0x22}),
         {link_text::kNegativeAnswer},
         [](TOBDII& l) { return l.Flag_Clear_Error && l.TroubleCodeReads == 0; }},
        {"live in short form",
         WithSum({0x82, 0xF1, 0x10, 0x61, 0x01}),
         {link_text::kReadDataOk},
         [](TOBDII& l) { return !l.FlagIsNew && l.Live().sequence == 0; }},
        {"unknown service", WithSum({0x81, 0xF1, 0x10, 0x99}), {}, [](TOBDII&) { return true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false);
        rig.link->Flag_Clear_Error = true;
        rig.link->Flag_Read_Error = true;
        rig.link->OBD_ERROR.Assign({"P9999"});
        rig.link->SleepTimeWrite = 300;
        rig.link->FCommunication = true;
        rig.link->FDiagnosticSession = true;
        rig.link->ParseAnswer(c.answer);
        std::vector<std::string> want = {link_text::kCrcOk};
        want.insert(want.end(), c.trace.begin(), c.trace.end());
        EXPECT_EQ(TraceTexts(*rig.link), want);
        EXPECT_TRUE(c.check(*rig.link));
    }
}

TEST(Dispatcher, DroppedAnswers) {
    struct Case {
        const char* name;
        Bytes answer;
        std::vector<std::string> trace;
    } cases[] = {
        {"empty", {}, {link_text::kCrcFalse}},
        {"checksum off by one", {0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC4}, {link_text::kCrcFalse}},
        {"not for the tester", WithSum({0x83, 0xF2, 0x10, 0xC1, 0xEF, 0x8F}), {link_text::kCrcOk}},
        {"single zero byte", {0x00}, {link_text::kCrcOk}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false);
        rig.link->ParseAnswer(c.answer);
        EXPECT_EQ(TraceTexts(*rig.link), c.trace);
        EXPECT_FALSE(rig.link->FCommunication.load());
    }
}

TEST(Dispatcher, LiveAnswerPublishesTheRecordThenRaisesTheFlag) {
    LinkRig rig(false);
    Bytes a = {0x80, 0xF1, 0x10, 0x26, 0x61, 0x01};
    a.resize(5 + 37, 0);
    a[5 + 12] = 75;
    a[5 + 9] = 130;
    rig.link->ParseAnswer(WithSum(a));
    EXPECT_TRUE(rig.link->IsNew());
    const LiveRecord r = rig.link->Live();
    EXPECT_EQ(r.FsensorCrankshaftSpeed, 3000.0);
    EXPECT_EQ(r.FsensorCoolantTemp, 90.0);
    EXPECT_EQ(r.sequence, 1u);
    EXPECT_TRUE(rig.link->WaitForNewRecord(std::chrono::milliseconds(0)));

    // A truncated block is dropped: nothing changes, no new record.
    rig.link->SetIsNew(false);
    a.resize(5 + 20);
    rig.link->ParseAnswer(WithSum(a));
    EXPECT_FALSE(rig.link->IsNew());
    EXPECT_EQ(rig.link->Live().sequence, 1u);
}

TEST(Dispatcher, BlockOFSetsTheOltCoefficient) {
    LinkRig rig(false);
    Bytes a = {0x80, 0xF1, 0x10, 0x35, 0x61, 0x0F};
    a.resize(5 + 52, 0);
    a[5 + 19] = 0x03;
    rig.link->ParseAnswer(WithSum(a));
    EXPECT_EQ(rig.link->OLT_TAB.COEFFCORR_OLT.load(), 66);
    EXPECT_EQ(rig.link->Live().FsensorRamCoeffCorr, 66);
}

struct ServiceCase {
    const char* name;
    std::function<void(TOBDII&)> call;
    Bytes frame;
};

TEST(Services, RequestFrames) {
    const ServiceCase cases[] = {
        {"StartCommunication",
         [](TOBDII& l) { l.StartCommunication(); },
         {0x81, 0x10, 0xF1, 0x81, 0x03}},
        {"TesterPresent",
         [](TOBDII& l) { l.TesterPresent(); },
         {0x82, 0x10, 0xF1, 0x3E, 0x01, 0xC2}},
        {"StopDiagnosticSession",
         [](TOBDII& l) { l.StopDiagnosticSession(); },
         {0x81, 0x10, 0xF1, 0x20, 0xA2}},
        {"StopCommunication",
         [](TOBDII& l) { l.StopCommunication(); },
         {0x81, 0x10, 0xF1, 0x82, 0x04}},
        {"ReadLiveData", [](TOBDII& l) { l.ReadLiveData(); }, {0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}},
        {"ReadLiveDataOLT",
         [](TOBDII& l) { l.ReadLiveDataOLT(); },
         {0x82, 0x10, 0xF1, 0x21, 0x0F, 0xB3}},
        {"ClearErrors",
         [](TOBDII& l) { l.ClearErrors(); },
         {0x83, 0x10, 0xF1, 0x14, 0xFF, 0x00, 0x97}},
        {"ReadErrors",
         [](TOBDII& l) { l.ReadErrors(); },
         {0x84, 0x10, 0xF1, 0x18, 0x00, 0x00, 0x00, 0x9D}},
        {"SwitchToRam",
         [](TOBDII& l) { l.SwitchToRam(); },
         {0x84, 0x10, 0xF1, 0x30, 0x0F, 0x06, 0x01, 0xCB}},
        {"ReleaseRam",
         [](TOBDII& l) { l.ReleaseRam(); },
         {0x83, 0x10, 0xF1, 0x30, 0x71, 0x00, 0x25}},
        {"CaptureRam",
         [](TOBDII& l) {
             l.WithTables([](TOBDII& t) { t.RAM.ID = 0x13; });
             l.CaptureRam();
         },
         {0x83, 0x10, 0xF1, 0x30, 0x71, 0x13, 0x38}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false);
        c.call(*rig.link);
        EXPECT_EQ(rig.NewWrites(), std::vector<Bytes>{c.frame});
    }
}

TEST(Services, ReleaseAndCaptureSetTheirFlagsWhateverTheAnswer) {
    LinkRig rig(false);
    rig.link->ReleaseRam();
    rig.link->CaptureRam();
    EXPECT_TRUE(rig.link->FlagOsvobRam.load());
    EXPECT_TRUE(rig.link->FlagZaxvatRAM.load());
}

TEST(Services, DiagnosticSessionSpeedCodes) {
    const std::pair<int, std::uint8_t> cases[] = {
        {10400, 0x0A}, {38400, 0x26}, {57600, 0x39}, {19200, 0x00}};
    for (auto [baud, code] : cases) {
        SCOPED_TRACE(baud);
        LinkRig rig(true, baud);
        const int expect_speed_before = static_cast<int>(rig.line->Speeds().size());
        EXPECT_TRUE(rig.link->StartDiagnosticSession());
        auto w = rig.NewWrites();
        ASSERT_EQ(w.size(), 1u);
        EXPECT_EQ(w[0][4], 0x81);
        EXPECT_EQ(w[0][5], code);
        auto speeds = rig.line->Speeds();
        ASSERT_EQ(static_cast<int>(speeds.size()), expect_speed_before + 1);
        EXPECT_EQ(speeds.back(), baud);
    }
}

TEST(Services, StopCommunicationReturnsTheLineTo10400First) {
    LinkRig rig(true, 38400);
    rig.link->FCommunication = true;
    EXPECT_TRUE(rig.link->StopCommunication());
    EXPECT_EQ(rig.line->Speeds().back(), 10400);
}

TEST(Connect, SequenceAndAttempts) {
    struct Case {
        const char* name;
        int ignored_starts;  // start-communication requests left unanswered
        bool result;
        int start_requests;
    } cases[] = {
        {"answers at once", 0, true, 1},
        {"answers the third", 2, true, 3},
        {"never answers", 10, false, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false, 38400);
        auto ignored = std::make_shared<int>(c.ignored_starts);
        rig.line->answer = [ignored](const Bytes& f) -> std::vector<Reply> {
            if (f[3] == 0x81 && (*ignored)-- > 0)
                return {};
            return EcuAnswer(f);
        };
        EXPECT_EQ(rig.link->ConnectToECU(), c.result);
        auto writes = rig.NewWrites();
        int starts = 0;
        for (auto& w : writes)
            starts += w[3] == 0x81;
        EXPECT_EQ(starts, c.start_requests);
        if (c.result) {
            ASSERT_EQ(writes.size(), static_cast<std::size_t>(c.start_requests + 2));
            EXPECT_EQ(writes[writes.size() - 2], (Bytes{0x83, 0x10, 0xF1, 0x10, 0x81, 0x26, 0x3B}));
            EXPECT_EQ(writes.back(), (Bytes{0x82, 0x10, 0xF1, 0x3E, 0x01, 0xC2}));
            EXPECT_EQ(rig.line->Speeds().back(), 38400);
            EXPECT_EQ(rig.link->SleepTimeWrite.load(), 150);
        }
    }
}

TEST(Connect, FailsWithoutSessionOrTesterPresent) {
    for (std::uint8_t silent : {std::uint8_t{0x10}, std::uint8_t{0x3E}}) {
        SCOPED_TRACE(int(silent));
        LinkRig rig(false);
        rig.line->answer = [silent](const Bytes& f) -> std::vector<Reply> {
            if (f[3] == silent)
                return {{WithSum({0x83, 0xF1, 0x10, 0x7F, silent, 0x22})}};
            return EcuAnswer(f);
        };
        EXPECT_FALSE(rig.link->ConnectToECU());
    }
}

TEST(Connect, DoesNotTouchALinkThatIsPolling) {
    LinkRig rig(true);
    ASSERT_TRUE(rig.link->ConnectToECU());
    rig.link->Flag = true;
    ASSERT_TRUE(rig.link->WaitForNewRecord(std::chrono::seconds(5)));
    rig.NewWrites();
    EXPECT_FALSE(rig.link->ConnectToECU());
    for (auto& w : rig.NewWrites())
        EXPECT_NE(w[3], 0x81);
    rig.link->Flag = false;
}

}  // namespace
}  // namespace veltrano::test
