// The reader thread over a pseudo-terminal: the test plays the controller.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/text_forms.h"
#include "lambda/lc_threat.h"
#include "tests/lambda/reader_fixture.h"

namespace veltrano {
namespace {

using namespace lambda_test;
using Bytes = std::vector<std::uint8_t>;

// "H:mm:ss" or "HH:mm:ss", three blanks, the hexadecimal bytes, CR (getline took the LF).
bool IsLogLine(const std::string& line, const std::string& hex) {
    const std::string tail = "   " + hex + "\r";
    if (!line.ends_with(tail))
        return false;
    const std::string time = line.substr(0, line.size() - tail.size());
    if (time.size() != 7 && time.size() != 8)
        return false;
    for (std::size_t i = 0; i < time.size(); ++i) {
        const bool colon = i == time.size() - 3 || i == time.size() - 6;
        if (colon ? time[i] != ':' : !std::isdigit(static_cast<unsigned char>(time[i]))) {
            return false;
        }
    }
    return true;
}

// One write of the controller and the reading that must stand once it is taken.
struct Step {
    const char* what;
    Bytes bytes;
    long frames;
    double afr;
    double stoich;
    std::string message;
    bool lc;
    int pauseAfterMs = 0;
    Bytes tail = {};
};

const Bytes kLambda147 = {0xB2, 0x82, 0x43, 0x13, 0x03, 0x74, 0xB2};
const Bytes kLambda1504 = {0xB2, 0x82, 0x43, 0x13, 0x04, 0x0B, 0xB2};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST_F(LambdaPtyTest, Lc1StreamWithGarbageAndBrokenFramesGivesRightReadings) {
    const std::vector<Step> steps = {
        {"garbage before a packet", Join({{0x00, 0xFF, 0x82, 0xB2, 0x00, 0x13}, kLambda147}), 1,
         14.7, 14.7, "14,7", true},
        {"wrong closing byte", Join({{0xB2, 0x82, 0x43, 0x13, 0x7F, 0x7F, 0x00}, kLambda1504}), 2,
         15.04, 14.7, "15,04", true},
        {"chained header, then an error packet",
         {0xB2, 0x84, 0x43, 0x13, 0x03, 0x74, 0xB2, 0x82, 0x18, 0x00, 0x00, 0x09, 0xB2},
         3,
         15.04,
         14.7,
         "Error  9",
         false},
        {"warm-up packet",
         {0xB2, 0x82, 0x10, 0x13, 0x03, 0x74, 0xB2},
         4,
         15.04,
         14.7,
         "Error  9",
         false},
        {"truncated packet, then the stream resumes",
         {0xB2, 0x82, 0x43, 0x13},
         5,
         15.04,
         14.7,
         "15,04",
         true,
         30,
         Join({kLambda147, {0x82, 0x43, 0x13, 0x04, 0x0B, 0xB2}})},
    };
    auto reader = Start("LC-1/2");
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        ASSERT_TRUE(pty.Write(s.bytes));
        if (s.pauseAfterMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(s.pauseAfterMs));
            ASSERT_TRUE(pty.Write(s.tail));
        }
        ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() >= s.frames; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(reader->FramesRead(), s.frames);
        const LambdaReading r = reader->Reading();
        EXPECT_DOUBLE_EQ(r.AFR, s.afr);
        EXPECT_DOUBLE_EQ(r.stochiometric, s.stoich);
        EXPECT_EQ(r.Message_LC1, s.message);
        EXPECT_EQ(r.lc, s.lc);
    }
    EXPECT_FALSE(std::filesystem::exists(logDir / "LogAEM.txt"));
    EXPECT_LT(StopTime(*reader).count(), 50);
}

class AemStreamTest : public LambdaPtyTest, public ::testing::WithParamInterface<char> {};

TEST_P(AemStreamTest, GarbageAndBrokenLinesGiveRightReadingsAndOneLogLinePerFrame) {
    SetDecimalSeparator(GetParam());
    const auto text = [](const char* s) { return Bytes(s, s + std::strlen(s)); };
    const std::vector<Step> steps = {
        {"one line", text("\r\n14.7\r"), 1, 14.7, 0, "", true},
        {"no number keeps the reading", text("\r\n-.--\r"), 2, 14.7, 0, "", true},
        {"noise and a five-character line", text("noise\x01\xff\r\n14.75\r\n9.85\r"), 3, 9.85, 0,
         "", false},
        {"truncated line, then the stream resumes", text("\r\n22"), 4, 20.5, 0, "", false, 30,
         text("\r\n22.0\r\n20.5\r")},
        {"lean line, not clamped", text("\r\n22.0\r"), 5, 22.0, 0, "", false},
    };
    auto reader = Start("AEM");
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        ASSERT_TRUE(pty.Write(s.bytes));
        if (s.pauseAfterMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(s.pauseAfterMs));
            ASSERT_TRUE(pty.Write(s.tail));
        }
        ASSERT_TRUE(WaitFor([&] { return reader->FramesRead() >= s.frames; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(reader->FramesRead(), s.frames);
        const LambdaReading r = reader->Reading();
        EXPECT_DOUBLE_EQ(r.AFR, s.afr);
        EXPECT_DOUBLE_EQ(r.stochiometric, 0.0);
        EXPECT_EQ(r.Message_LC1, "");
        EXPECT_EQ(r.lc, s.lc);
    }
    EXPECT_LT(StopTime(*reader).count(), 50);

    const std::vector<std::string> ends = {"31 34 2E 37", "2D 2E 2D 2D", "39 2E 38 35",
                                           "32 30 2E 35", "32 32 2E 30"};
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), ends.size());
    for (std::size_t i = 0; i < ends.size(); ++i) {
        EXPECT_TRUE(IsLogLine(lines[i], ends[i])) << lines[i];
    }
    EXPECT_EQ(reader->AemLogFailures(), 0);
}

INSTANTIATE_TEST_SUITE_P(Separators, AemStreamTest, ::testing::Values(',', '.'),
                         [](const auto& info) { return info.param == ',' ? "Comma" : "Point"; });

}  // namespace
}  // namespace veltrano
