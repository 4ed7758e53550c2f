// The POSIX serial backend on a pseudo-terminal.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "link/serial_line.h"

namespace veltrano {
namespace {

// The master side of a pty; the line under test opens the slave.
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

TEST(SerialLine, ExchangesBytesAtAnySpeed) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    auto line = MakeSerialLine();
    ASSERT_TRUE(line->Open(pty.path));
    for (int baud : {10400, 38400, 57600, 19200, 9600})
        EXPECT_TRUE(line->SetLine(baud)) << baud;
    line->Purge();
    const std::uint8_t out[] = {0x81, 0x10, 0xF1, 0x81, 0x03};
    EXPECT_EQ(line->Write(out, sizeof out), 5);
    std::uint8_t got[8] = {};
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(read(pty.master, got, sizeof got), 5);
    EXPECT_EQ(line->Waiting(), 0);
    std::uint8_t none[4];
    EXPECT_EQ(line->Read(none, sizeof none), 0);  // nothing waiting: no block, no error
    ASSERT_EQ(write(pty.master, "\x83\xF1\x10", 3), 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(line->Waiting(), 3);
    EXPECT_EQ(line->Read(got, 3), 3);
    EXPECT_EQ(got[1], 0xF1);
}

TEST(SerialLine, OpenIsExclusive) {
    Pty pty;
    auto first = MakeSerialLine();
    auto second = MakeSerialLine();
    ASSERT_TRUE(first->Open(pty.path));
    EXPECT_FALSE(second->Open(pty.path));
    first->Close();
    EXPECT_TRUE(second->Open(pty.path));
    EXPECT_FALSE(MakeSerialLine()->Open("/dev/veltrano-no-such-port"));
}

TEST(SerialLine, WriteToALineNobodyReadsGivesUp) {
    Pty pty;
    auto line = MakeSerialLine();
    ASSERT_TRUE(line->Open(pty.path));
    ASSERT_TRUE(line->SetLine(10400));
    const std::vector<std::uint8_t> block(256, 0x55);
    const auto begin = std::chrono::steady_clock::now();
    long total = 0;
    for (int i = 0; i < 4096; ++i) {
        const long w = line->Write(block.data(), block.size());
        if (w < static_cast<long>(block.size()))
            break;
        total += w;
    }
    EXPECT_LT(total, 4096L * 256);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
}

// Interrupt ends a wait from another thread at once, or the next wait when none is in progress.
TEST(SerialLine, InterruptEndsAWaitOnASilentLine) {
    Pty pty;
    auto line = MakeSerialLine();
    ASSERT_TRUE(line->Open(pty.path));
    ASSERT_TRUE(line->SetLine(19200));
    using Clock = std::chrono::steady_clock;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        line->Interrupt();
    });
    auto t0 = Clock::now();
    EXPECT_TRUE(line->WaitInput(0, 5000));
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(2000));
    stopper.join();

    line->Interrupt();
    t0 = Clock::now();
    EXPECT_TRUE(line->WaitInput(0, 5000));
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(100));
    t0 = Clock::now();
    EXPECT_TRUE(line->WaitInput(0, 60));  // taken: the next wait sleeps again
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(55));
    EXPECT_EQ(line->Waiting(), 0);
}

// A wait sleeps until a byte beyond those already seen arrives; bytes taken from the driver by
// a wait are still counted and read first, in order.
TEST(SerialLine, WaitInputWakesOnNewBytesOnly) {
    Pty pty;
    auto line = MakeSerialLine();
    ASSERT_TRUE(line->Open(pty.path));
    ASSERT_TRUE(line->SetLine(10400));
    ASSERT_EQ(write(pty.master, "\x01\x02", 2), 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    EXPECT_TRUE(line->WaitInput(0, 1000));  // two bytes already differ from none
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(100));
    EXPECT_EQ(line->Waiting(), 2);

    t0 = Clock::now();
    EXPECT_TRUE(line->WaitInput(2, 60));  // nothing new: the whole timeout
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(55));

    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ASSERT_EQ(write(pty.master, "\x03", 1), 1);
    });
    t0 = Clock::now();
    EXPECT_TRUE(line->WaitInput(2, 5000));
    const auto woke = Clock::now() - t0;
    late.join();
    EXPECT_GE(woke, std::chrono::milliseconds(25));
    EXPECT_LT(woke, std::chrono::milliseconds(2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(line->Waiting(), 3);

    std::uint8_t got[3] = {};
    EXPECT_EQ(line->Read(got, 1), 1);
    EXPECT_EQ(line->Read(got + 1, 2), 2);
    EXPECT_EQ(got[0], 1);
    EXPECT_EQ(got[1], 2);
    EXPECT_EQ(got[2], 3);
    EXPECT_EQ(line->Waiting(), 0);
    EXPECT_FALSE(line->LowLatency());  // a pseudo-terminal has no such setting
    line->Close();
    EXPECT_FALSE(line->WaitInput(0, 10));
}

}  // namespace
}  // namespace veltrano
