#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "log/log_texts.h"
#include "log/session_log.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

class SessionLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(VELTRANO_BINARY_DIR) / "tests" / "session_log_tmp" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_.parent_path());
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir_;
};

TEST_F(SessionLogTest, HeaderOnceThenRowsInCp1251WithCrLf) {
    SessionLog::CreateDirectory(dir_);
    SessionLog first(dir_, "(25.03.14_18.07)");
    EXPECT_EQ(first.Path().filename(), "(25.03.14_18.07).csv");
    ASSERT_TRUE(first.SaveLog("9:5:3.7,1"));
    // A second connection within the same minute appends without a second header.
    SessionLog second(dir_, "(25.03.14_18.07)");
    ASSERT_TRUE(second.SaveLog("9:5:4.0,2"));

    const std::string bytes = Read(first.Path());
    const std::string header = "TIME,\xF0\xE5\xE6\xE8\xEC\xED\xE0\xFF";  // "TIME,режимная"
    EXPECT_EQ(bytes.rfind(header, 0), 0u);
    EXPECT_EQ(bytes.find("TIME,", 1), std::string::npos);
    EXPECT_NE(bytes.find("\xE7\xE0\xE2\xE5\xE4\xB8\xED\xED\xEE\xE3\xEE"), std::string::npos);
    const std::string tail = "\r\n9:5:3.7,1\r\n9:5:4.0,2\r\n";
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
}

TEST_F(SessionLogTest, RowsOfAFailureWaitAndGoOutInOrderOnceTheFileWorks) {
    SessionLog log(dir_ / "missing", "(01.01.26_00.00)");
    EXPECT_FALSE(log.SaveLog("1"));
    EXPECT_FALSE(log.SaveLog("2"));
    EXPECT_FALSE(log.LastError().empty());
    EXPECT_EQ(log.Waiting(), 2u);
    SessionLog::CreateDirectory(dir_);
    SessionLog::CreateDirectory(dir_ / "missing");
    EXPECT_TRUE(log.SaveLog("3"));
    EXPECT_TRUE(log.LastError().empty());
    EXPECT_EQ(log.Waiting(), 0u);
    const std::string bytes = Read(log.Path());
    EXPECT_EQ(bytes.substr(bytes.size() - 9), "1\r\n2\r\n3\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 4);  // the header once
}

// The folder replaced by a plain file, as when it is taken away mid-session.
TEST_F(SessionLogTest, RowsWaitingWhenTheLogEndsAreWrittenIfTheFileWorksAgain) {
    SessionLog::CreateDirectory(dir_);
    const fs::path logs = dir_ / "Logs";
    SessionLog::CreateDirectory(logs);
    fs::path path;
    {
        SessionLog log(logs, "(01.01.26_00.01)");
        path = log.Path();
        ASSERT_TRUE(log.SaveLog("1"));
        fs::rename(logs, dir_ / "held");
        std::ofstream(logs).put('x');
        EXPECT_FALSE(log.SaveLog("2"));
        fs::remove(logs);
        fs::rename(dir_ / "held", logs);
    }
    const std::string bytes = Read(path);
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "1\r\n2\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
}

TEST_F(SessionLogTest, AtMostTheLimitWaitsAndTheOldestGoFirst) {
    SessionLog log(dir_ / "missing", "(01.01.26_00.02)");
    for (std::size_t i = 0; i <= SessionLog::kWaitingLimit; ++i)
        log.SaveLog(std::to_string(i));
    EXPECT_EQ(log.Waiting(), SessionLog::kWaitingLimit);
    EXPECT_EQ(log.Dropped(), 1);
    SessionLog::CreateDirectory(dir_);
    SessionLog::CreateDirectory(dir_ / "missing");
    ASSERT_TRUE(log.SaveLog("last"));
    EXPECT_EQ(log.Dropped(), 2);
    const std::string bytes = Read(log.Path());
    EXPECT_NE(bytes.find("\r\n2\r\n3\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n1\r\n"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "last\r\n");
    EXPECT_EQ(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')),
              SessionLog::kWaitingLimit + 1);
}

}  // namespace
}  // namespace veltrano
