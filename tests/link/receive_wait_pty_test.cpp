// The link's receive wait on a pseudo-terminal, in real time: it ends when the expected bytes
// arrive, keeps its budget of 301 ms otherwise, in both the waiting and the polling form.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "link/link_texts.h"
#include "link/obdii.h"

namespace veltrano {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            path = ptsname(master);
    }
    ~Pty() {
        if (master >= 0)
            close(master);
    }
    int master = -1;
    std::string path;
};

struct Piece {
    std::chrono::milliseconds at;
    int bytes;
};

struct Case {
    const char* name;
    std::vector<Piece> pieces;
    int expected;
    int minMs;  // the wait ends no earlier
    int maxMs;  // its length in ms is at most this (generous: the machine may be busy)
    int count;
    int errors;
};

class ReceiveWaitOnPty : public ::testing::TestWithParam<bool> {};

TEST_P(ReceiveWaitOnPty, EndsOnTheBytesAndKeepsTheBudget) {
    const Case cases[] = {
        {"exact count", {{40ms, 5}}, 5, 40, 200, 5, 0},
        {"answer in two pieces", {{10ms, 3}, {60ms, 2}}, 5, 60, 220, 5, 0},
        {"nothing arrives", {}, 5, 301, 301, 0, 1},
        {"more than expected", {{10ms, 7}}, 5, 301, 301, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pty pty;
        ASSERT_FALSE(pty.path.empty());
        LinkHooks hooks;
        hooks.receiveOnBytes = GetParam();
        TOBDII link(pty.path, 10400, 10400, 100, false, false, 30, std::move(hooks));
        ASSERT_TRUE(link.Running());
        link.SleepCountData = c.expected;
        const auto start = Clock::now();
        std::thread ecu([&] {
            for (const auto& p : c.pieces) {
                std::this_thread::sleep_until(start + p.at);
                const std::vector<char> bytes(p.bytes, '\x55');
                ASSERT_EQ(write(pty.master, bytes.data(), bytes.size()),
                          static_cast<ssize_t>(bytes.size()));
            }
        });
        std::vector<std::uint8_t> buf(2048, 0);
        int count = -1;
        // The wait starts a little after `start` (the writer thread starts first).
        const double late = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        link.ReadPacket(buf, count);
        const auto took = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        ecu.join();
        const int polls = link.sysSendingDelay.load() - 10;
        // The waiting form counts its time; the polling form counts its 1 ms sleeps, which
        // overshoot on a busy machine, so it may count far less than the time.
        EXPECT_GE(polls, GetParam() ? c.minMs - static_cast<int>(late) - 1 : 1);
        EXPECT_LE(polls, c.maxMs);
        EXPECT_GE(took, c.minMs - 1);
        if (c.maxMs == 301) {
            EXPECT_EQ(polls, 301);
        }
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(link.ErrorRead.load(), c.errors);
    }
}

INSTANTIATE_TEST_SUITE_P(WaitingAndPolling, ReceiveWaitOnPty, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "OnBytes" : "Polling"; });

// A pseudo-terminal refuses the low latency request; the trace says so.
TEST(ReceiveWaitOnPty, TraceSaysWhetherTheDriverTookLowLatency) {
    Pty pty;
    TOBDII link(pty.path, 10400, 10400, 100, false, false, 30);
    ASSERT_TRUE(link.Running());
    const auto lines = link.FLogList.Items();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().substr(15), link_text::kLowLatencyOff);
}

}  // namespace
}  // namespace veltrano
