// The link's own guard: table writes aimed at address 0 (a table whose address is unknown) or
// running past the 64 KiB the addresses name are refused unsent, whoever asks.
#include <gtest/gtest.h>

#include <string>

#include "link/link_texts.h"
#include "tests/link/link_test_support.h"

namespace veltrano::test {
namespace {

bool Traced(TOBDII& link, const std::string& text) {
    for (const auto& l : link.FLogList.Items()) {
        if (l.find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST(WriteGuard, RequestsAimedOutsideTheImage) {
    struct Case {
        const char* name;
        WriteRequest kind;
        std::size_t size;
        int address;
        bool sent;
    } cases[] = {
        {"PCN at 0", WriteRequest::PCN, 256, 0, false},
        {"UOZ at 0", WriteRequest::UOZ, 256, 0, false},
        {"AFR at 0", WriteRequest::AFR, 256, 0, false},
        {"BCN at 0", WriteRequest::BCN, 256, 0, false},
        {"32x32 PCN at 0", WriteRequest::Pcn_32x32, 1024, 0, false},
        {"BCN past 0xFFFF", WriteRequest::BCN, 256, 0xFF80, false},
        {"small table past 0xFFFF", WriteRequest::TableOLT, 32, 0xFFF0, false},
        {"small table ending at 0xFFFF", WriteRequest::TableOLT, 64, 0xFFC0, true},
        {"PCN inside", WriteRequest::PCN, 256, 0x7CF7, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkRig rig;
        ASSERT_TRUE(rig.link->RequestWrite(c.kind, Bytes(c.size, 0x40), c.address));
        rig.link->GetECUComplectation();
        std::size_t writes = 0;
        for (const auto& f : rig.NewWrites())
            writes += f[0] == 0x80 && f[4] == 0x3D;
        EXPECT_EQ(writes > 0, c.sent);
        EXPECT_EQ(Traced(*rig.link, link_text::kWriteRefused), !c.sent);
        EXPECT_EQ(rig.link->WriteFailed(c.kind), !c.sent);
        EXPECT_FALSE(rig.link->FlagFor(c.kind).load());  // refused once, not retried
    }
}

TEST(WriteGuard, DirectCallsAreGuardedToo) {
    LinkRig rig;
    const Bytes table(256, 0x11);
    EXPECT_FALSE(rig.link->WriteTableFirmware(std::span<const std::uint8_t, 256>(table), 0));
    EXPECT_FALSE(rig.link->WriTeDataOLT(table, 0));
    EXPECT_FALSE(rig.link->WriTeDataOLT(table, 0xFFF0));
    EXPECT_TRUE(rig.NewWrites().empty());
    EXPECT_TRUE(rig.progress.empty());
}

}  // namespace
}  // namespace veltrano::test
