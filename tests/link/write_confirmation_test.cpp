// Table write confirmations against the ECU simulator in both of its answer forms (the block's
// address named, or 7D alone), and the answers that are not a confirmation.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "link/link_texts.h"
#include "link/obdii.h"
#include "sim/ecu_simulator.h"

namespace veltrano {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

template <class Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
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

struct Rig {
    explicit Rig(bool bare) {
        EcuSimOptions o;
        o.wireTiming = false;
        o.answerDelayMs = 1;
        o.bareWriteAnswer = bare;
        sim = std::make_unique<EcuSimulator>(o);
        std::string error;
        EXPECT_TRUE(sim->Start(&error)) << error;
        link = std::make_unique<TOBDII>(sim->DevicePath(), 10400, 10400, 100, false, false, 30);
        EXPECT_TRUE(link->ConnectToECU());
        link->SleepTimeWrite = 2;
        link->Flag = true;
    }
    ~Rig() { link->Stop(); }

    // Writes a 256-byte table and waits until it is delivered, or given up when `delivered`
    // is false.
    bool Write(const Bytes& table, bool delivered = true) {
        const long failures = link->WriteFailures;
        EXPECT_TRUE(link->RequestWrite(WriteRequest::UOZ, table, kAddress));
        return WaitUntil(
            [&] {
                if (!delivered)
                    return link->WriteFailures != failures;
                return !link->FlagReWriteUoz && sim->ReadMemory(kAddress, 256) == table;
            },
            30s);
    }

    static constexpr std::uint16_t kAddress = 0x7CF7;
    std::unique_ptr<EcuSimulator> sim;
    std::unique_ptr<TOBDII> link;
};

TEST(WriteConfirmation, FormsAndFailures) {
    struct Case {
        const char* name;
        bool bare;
        EcuFaults faults;
        bool delivered;
    } cases[] = {
        {"address named", false, {}, true},
        {"bare 7D", true, {}, true},
        {"negative answer", false, {.negativeCode = 0x22, .onlyService = 0x3D}, false},
        {"negative answer to a bare ECU", true, {.negativeCode = 0x22, .onlyService = 0x3D}, false},
        {"another address named", false, {.wrongWriteAddress = true}, false},
        {"no answer", false, {.dropAll = true, .onlyService = 0x3D}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.bare);
        rig.sim->SetFaults(c.faults);
        const Bytes table(256, 0x5C);
        ASSERT_TRUE(rig.Write(table, c.delivered));
        EXPECT_EQ(rig.link->WriteFailed(WriteRequest::UOZ), !c.delivered);
        EXPECT_EQ(rig.link->WriteFailures.load(), c.delivered ? 0 : 1);
        if (!c.delivered) {
            // Retried before it was given up: every attempt sent the table's four blocks.
            std::size_t blocks = 0;
            for (const auto& f : rig.sim->Requests())
                blocks += f[0] == 0x80 && f[4] == 0x3D;
            EXPECT_EQ(blocks, 4u * TOBDII::kWriteAttempts);
        }
    }
}

TEST(WriteConfirmation, EitherFormArrivesWholeAndEndsTheWait) {
    for (bool bare : {false, true}) {
        SCOPED_TRACE(bare ? "bare 7D" : "address named");
        Rig rig(bare);
        ASSERT_TRUE(rig.Write(Bytes(256, 0x11)));  // learns the form, if it must
        rig.link->FLogList.Clear();
        ASSERT_TRUE(rig.Write(Bytes(256, 0x22)));
        EXPECT_FALSE(rig.link->WriteFailed(WriteRequest::UOZ));
        std::size_t bad = 0;
        for (const auto& l : rig.link->FLogList.Items())
            bad += l.find(link_text::kCrcFalse) != std::string::npos;
        EXPECT_EQ(bad, 0u);
        EXPECT_LT(LongestWait(*rig.link), 150);  // no exchange waited out its receive time
    }
}

}  // namespace
}  // namespace veltrano
