// Fixture of the reader's pseudo-terminal tests: a fresh pty pair, a log folder per test,
// LcRunning and the decimal separator put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/text_forms.h"
#include "lambda/lc_threat.h"
#include "tests/lambda/pty_pair.h"

namespace veltrano::lambda_test {

using Clock = std::chrono::steady_clock;
using testing_pty::PtyPair;

template <typename Pred>
inline bool WaitFor(Pred pred, std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
    const auto end = Clock::now() + limit;
    while (!pred()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline std::chrono::milliseconds StopTime(TLcThreat& reader) {
    const auto start = Clock::now();
    reader.stop();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

class LambdaPtyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        LcRunning = false;
        logDir = std::filesystem::path(VELTRANO_BINARY_DIR) / "tests" / "lambda_logs" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(logDir);
        std::filesystem::create_directories(logDir);
    }
    void TearDown() override {
        LcRunning = false;
        SetDecimalSeparator(',');
    }
    std::unique_ptr<TLcThreat> Start(const char* sensor) {
        auto reader = TLcThreat::Create(pty.Device(), sensor, LcOptions{logDir, {}});
        EXPECT_TRUE(reader->Running());
        return reader;
    }
    std::vector<std::string> LogLines() {
        std::ifstream in(logDir / "LogAEM.txt", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    PtyPair pty;
    std::filesystem::path logDir;
};

}  // namespace veltrano::lambda_test
