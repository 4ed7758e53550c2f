// The byte-level exchange of the link over a fake line: construction, pauses, the 1 ms
// receive polls, short-answer counting and the trace.
#include <gtest/gtest.h>

#include <cctype>

#include "link/link_texts.h"
#include "tests/link/link_test_support.h"

namespace veltrano::test {
namespace {

std::string LastTrace(TOBDII& link, int back = 1) {
    auto lines = link.FLogList.Items();
    return lines.size() >= static_cast<std::size_t>(back) ? lines[lines.size() - back] : "";
}

// "hh:mm:ss.zzz - " at the start of a trace line.
bool IsClockStamp(const std::string& line) {
    const std::string form = "dd:dd:dd.ddd - ";
    if (line.size() < form.size())
        return false;
    for (std::size_t i = 0; i < form.size(); ++i) {
        const bool ok = form[i] == 'd' ? std::isdigit(static_cast<unsigned char>(line[i])) != 0
                                       : line[i] == form[i];
        if (!ok)
            return false;
    }
    return true;
}

TEST(LinkConstruction, MissingPortWarnsAndNeverRuns) {
    LinkRig rig(true);
    rig.line->open_ok = false;
    rig.Make(10400);
    EXPECT_FALSE(rig.link->Running());
    ASSERT_EQ(rig.messages.entries.size(), 1u);
    EXPECT_EQ(rig.messages.entries[0].kind, "warning");
    EXPECT_EQ(rig.messages.entries[0].caption, "Ошибка");
    EXPECT_EQ(rig.messages.entries[0].text, "Ошибка открытия порта COM1");
}

TEST(LinkConstruction, RealMissingDeviceWarnsWithItsName) {
    RecordedMessages messages;
    LinkHooks hooks;
    hooks.messages = &messages;
    TOBDII link("/dev/veltrano-no-such-port", 10400, 10400, 100, false, false, 30,
                std::move(hooks));
    EXPECT_FALSE(link.Running());
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "Ошибка открытия порта /dev/veltrano-no-such-port");
}

TEST(LinkConstruction, LineSettingsRefusedIsSilent) {
    LinkRig rig(true);
    rig.line->set_line_ok = false;
    rig.Make(10400);
    EXPECT_FALSE(rig.link->Running());
    EXPECT_TRUE(rig.messages.entries.empty());
}

TEST(LinkConstruction, ReadyLinkOpensAtTheSecondSpeed) {
    LinkRig rig(true);
    rig.Make(38400, 19200);
    EXPECT_TRUE(rig.link->Running());
    EXPECT_TRUE(LinkRunning.load());
    EXPECT_EQ(rig.line->Speeds().back(), 19200);
    EXPECT_EQ(rig.link->SleepTimeWrite.load(), 100);
    EXPECT_EQ(rig.link->FBaudRate, 38400);
}

TEST(LinkExchange, WriteTraceIsLiteral) {
    LinkRig rig(false);
    rig.link->SleepTimeWrite = 200;
    const Bytes frame = {0x81, 0x10, 0xF1, 0x81, 0x03};
    rig.link->WritePacket(frame);
    EXPECT_EQ(rig.slept_ms.load(), 200);
    const std::string line = LastTrace(*rig.link);
    EXPECT_TRUE(IsClockStamp(line)) << line;
    EXPECT_EQ(line.substr(15), "-> Sleep: 200 -> 81 10 F1 81 03 ");
}

struct WaitCase {
    const char* name;
    int expected;
    Reply reply;
    int polls;   // receive polls made
    int count;   // bytes read
    int errors;  // ErrorRead afterwards
};

TEST(LinkExchange, ReceiveWait) {
    const WaitCase cases[] = {
        {"exact count ends at once", 5, {Bytes(5, 1), 2, 0}, 3, 5, 0},
        {"nothing arrives", 5, {}, 301, 0, 1},
        {"too many bytes", 5, {Bytes(7, 1), 0, 0}, 301, 7, 0},
        {"too few bytes", 5, {Bytes(4, 1), 0, 0}, 301, 4, 1},
        {"expected zero, queue empty", 0, {}, 1, 0, 0},
        {"still arriving at the last poll", 400, {Bytes(400, 1), 0, 1}, 301, 301, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false);
        rig.link->SleepCountData = c.expected;
        if (!c.reply.bytes.empty())
            rig.line->Queue(c.reply);
        std::vector<std::uint8_t> buf(2048, 0);
        int count = -1;
        rig.link->ReadPacket(buf, count);
        EXPECT_EQ(rig.link->sysSendingDelay.load(), c.polls + 10);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(rig.link->ErrorRead.load(), c.errors);
        EXPECT_EQ(rig.slept_ms.load(), c.polls);
        const std::string head = "<- " + std::to_string(c.polls + 10) + " - ";
        EXPECT_EQ(LastTrace(*rig.link).substr(15, head.size()), head);
    }
}

TEST(LinkExchange, FourthShortAnswerInARowLosesTheLinkAndACompleteOneRestoresIt) {
    LinkRig rig(false);
    std::vector<std::uint8_t> buf(2048, 0);
    int count = 0;
    rig.link->SleepCountData = 3;
    for (int i = 1; i <= 4; ++i) {
        rig.link->ReadPacket(buf, count);
        EXPECT_EQ(rig.link->Flag_outDiag.load(), i == 4) << i;
    }
    rig.line->Queue({Bytes(3, 9)});
    rig.link->ReadPacket(buf, count);
    EXPECT_FALSE(rig.link->Flag_outDiag.load());
    EXPECT_EQ(rig.link->ErrorRead.load(), 0);
}

TEST(LinkExchange, ReadNeverExceedsTheBuffer) {
    LinkRig rig(false);
    rig.line->extra_waiting = 3000;
    rig.link->SleepCountData = 49;
    std::vector<std::uint8_t> buf(2048, 0);
    int count = 0;
    rig.link->ReadPacket(buf, count);
    EXPECT_EQ(count, 2048);
}

TEST(LinkExchange, LateBytesComeFirstInTheNextReceive) {
    LinkRig rig(false);
    // The start-communication answer comes after the wait gave up; it is left in the queue
    // and leads the next receive, whose echo then does not match.
    rig.line->answer = [](const Bytes& f) -> std::vector<Reply> {
        if (f[3] == 0x81)
            return {{WithSum({0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F}), 400, 0}};
        if (f[3] == 0x3E)
            return {{WithSum({0x81, 0xF1, 0x10, 0x7E})}};
        return {};
    };
    rig.link->StartCommunication();
    EXPECT_FALSE(rig.link->FCommunication.load());
    EXPECT_EQ(rig.link->ErrorRead.load(), 1);
    EXPECT_EQ(LastTrace(*rig.link).substr(15), link_text::kCrcFalse);
    EXPECT_FALSE(rig.link->TesterPresent());
    EXPECT_EQ(LastTrace(*rig.link, 2).substr(15),
              "<- 311 - 83 F1 10 C1 EF 8F C3 82 10 F1 3E 01 C2 81 F1 10 7E 00 ");
    EXPECT_EQ(LastTrace(*rig.link).substr(15), link_text::kCrcFalse);
}

TEST(LinkExchange, AdapterCheck) {
    struct Case {
        const char* name;
        bool echo;
        bool pass;
    } cases[] = {{"echoing adapter", true, true}, {"silent port", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig(false);
        rig.line->echo = c.echo;
        EXPECT_EQ(rig.link->CheckConnection(), c.pass);
        EXPECT_EQ(rig.line->Writes(), (std::vector<Bytes>{{0x00}}));
        EXPECT_EQ(LastTrace(*rig.link).substr(15),
                  c.pass ? link_text::kCheckConnectionOk : link_text::kCheckConnectionFailed);
        EXPECT_EQ(rig.link->SleepCountData.load(), 0);
    }
}

}  // namespace
}  // namespace veltrano::test

namespace veltrano {
namespace {

// The POSIX mapping; on Windows a port opens as \\.\COMn (win32_port_rules_test).
#ifndef _WIN32
TEST(PortNames, ConfiguredNamesMapToDevices) {
    const std::pair<const char*, const char*> cases[] = {
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"COM1", "/dev/ttyS0"},
        {"COM12", "/dev/ttyS11"},
        {"com3", "/dev/ttyS2"},
        {"ttyUSB1", "/dev/ttyUSB1"},
        {"COM0", "/dev/COM0"},
        {"COMX", "/dev/COMX"},
    };
    for (auto [name, path] : cases)
        EXPECT_EQ(DevicePathForPort(name), path) << name;
}
#endif

}  // namespace
}  // namespace veltrano
