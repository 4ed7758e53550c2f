// RAM window writes over a fake line: the release and capture exchanges around the first one,
// and the substitution code each request carries.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "link/link_texts.h"
#include "tests/link/link_test_support.h"

namespace veltrano::test {
namespace {

std::uint8_t Service(const Bytes& f) {
    return f[0] == 0x80 ? f[4] : f[3];
}

std::size_t TraceCount(TOBDII& link, const std::string& line) {
    std::size_t n = 0;
    for (const auto& l : link.FLogList.Items())
        n += l.find(line) != std::string::npos;
    return n;
}

// The longest receive wait of the traced exchanges, in polls ("<- N - ..." lines).
int LongestWait(TOBDII& link) {
    int longest = 0;
    for (const auto& l : link.FLogList.Items()) {
        const auto at = l.find("<- ");
        if (at != std::string::npos)
            longest = std::max(longest, std::stoi(l.substr(at + 3)) - 10);
    }
    return longest;
}

// Capture requests (30 71 xx with xx not 0) in the frames written.
std::vector<int> Captures(const std::vector<Bytes>& frames) {
    std::vector<int> codes;
    for (const auto& f : frames) {
        if (Service(f) == 0x30 && f[4] == 0x71 && f[5] != 0x00)
            codes.push_back(f[5]);
    }
    return codes;
}

// An ECU on a wire: the answer comes byte by byte, so a receive that expects fewer bytes
// than the answer has stops in the middle of it.
std::vector<Reply> WireAnswer(const Bytes& f) {
    auto replies = EcuAnswer(f);
    for (auto& r : replies)
        r.per_poll = 1;
    return replies;
}

TEST(RamWrites, FirstRamWriteAfterConnectIsDeliveredFirstTime) {
    // Whatever request came last (tester present at the connect, live data of either block
    // in a poll cycle), the release and capture exchanges read their whole answers.
    struct Case {
        const char* name;
        bool oltBlock;
        int cyclesBefore;
    } cases[] = {
        {"right after the connect", false, 0},
        {"after a live data cycle", false, 1},
        {"after an extended live data cycle", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        rig.line->answer = WireAnswer;
        ASSERT_TRUE(rig.link->ConnectToECU());
        rig.link->Flag_OLT_DAD = c.oltBlock;
        for (int i = 0; i < c.cyclesBefore; ++i)
            rig.link->GetECUComplectation();
        rig.link->FLogList.Clear();
        ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::PCN_RAM, Bytes(256, 0x40), -1, 0x04));
        rig.link->GetECUComplectation();
        EXPECT_EQ(TraceCount(*rig.link, link_text::kCrcFalse), 0u);
        EXPECT_EQ(TraceCount(*rig.link, link_text::kSwitchToRamOk), 2u);
        EXPECT_EQ(TraceCount(*rig.link, link_text::kWriteMemoOk), 4u);
        EXPECT_FALSE(rig.link->FlagRewraitePCN_RAM.load());  // not raised again for a retry
        EXPECT_FALSE(rig.link->WriteFailed(WriteRequest::PCN_RAM));
        EXPECT_LT(LongestWait(*rig.link), 100);  // no exchange waited out its time
    }
}

TEST(RamWrites, SubstitutionCodeTravelsWithTheRequest) {
    // An ignition RAM request raised while the fuel table's window write is on the wire
    // must not change the code the fuel table's capture sends.
    LinkRig rig;
    TOBDII* link = rig.link.get();
    auto raised = std::make_shared<bool>(false);
    rig.line->answer = [link, raised](const Bytes& f) {
        if (Service(f) == 0x3D && !*raised) {
            *raised = true;
            link->RequestWrite(WriteRequest::UOZ_DAD_RAM, Bytes(256, 0x33), -1, 0x12);
        }
        return EcuAnswer(f);
    };
    ASSERT_TRUE(rig.link->RequestWrite(WriteRequest::PCN_RAM, Bytes(256, 0x40), -1, 0x04));
    rig.link->GetECUComplectation();
    EXPECT_EQ(Captures(rig.NewWrites()), std::vector<int>{0x04});
}

}  // namespace
}  // namespace veltrano::test
