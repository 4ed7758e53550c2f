#include "sim/sim_command_line.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace veltrano {
namespace {

TEST(SimCommandLine, ParsesOptions) {
    SimCommandLine c;
    std::string error;
    ASSERT_TRUE(ParseSimCommandLine(
        {"--no-wire-timing", "--answer-delay", "5", "--lambda", "aem", "--true-ve-error", "-7.5",
         "--dtc", "P0130,0171", "--negative", "0x22", "--fault-service", "0x14", "--lambda-error",
         "3", "--hold", "3000,20,70"},
        c, error))
        << error;
    EXPECT_FALSE(c.ecu.wireTiming);
    EXPECT_EQ(c.ecu.answerDelayMs, 5);
    EXPECT_EQ(c.lambda, LambdaKind::Aem);
    EXPECT_DOUBLE_EQ(c.ecu.trueVeErrorPercent, -7.5);
    EXPECT_EQ(c.ecu.troubleCodes, (std::vector<std::uint16_t>{0x0130, 0x0171}));
    EXPECT_EQ(c.faults.negativeCode, 0x22);
    EXPECT_EQ(c.faults.onlyService, 0x14);
    EXPECT_TRUE(c.lambdaFaults.errorPackets);
    EXPECT_EQ(c.lambdaFaults.errorCode, 3);
    ASSERT_EQ(c.ecu.script.size(), 1u);
    EXPECT_DOUBLE_EQ(c.ecu.script[0].point.rpm, 3000.0);
    EXPECT_DOUBLE_EQ(c.ecu.script[0].point.pressure, 70.0);
}

TEST(SimCommandLine, RejectsBadInputWithAMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"--answer-delay"},
        {"--answer-delay", "soon"},
        {"--lambda", "lc2"},
        {"--dtc", "P01G0"},
        {"--hold", "3000,20"},
        {"--image", "/nonexistent/image.bin"},
        {"--script", "/nonexistent/script.txt"},
    };
    for (const auto& args : cases) {
        SimCommandLine c;
        std::string error;
        EXPECT_FALSE(ParseSimCommandLine(args, c, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

// The program prints its devices, runs until told to stop and dumps its memory.
TEST(SimProgram, PrintsDevicesAndDumpsMemoryOnExit) {
    const std::string dump = ::testing::TempDir() + "sim_program_dump.bin";
    std::remove(dump.c_str());
    const std::string program = std::string(VELTRANO_BINARY_DIR) + "/veltrano-sim";
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl(program.c_str(), program.c_str(), "--no-wire-timing", "--dump-memory", dump.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    FILE* out = fdopen(pipeEnds[0], "r");
    char line[256] = {};
    const bool first = fgets(line, sizeof line, out) != nullptr;
    const std::string ecuLine = line;
    const bool second = fgets(line, sizeof line, out) != nullptr;
    const std::string lambdaLine = line;
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    fclose(out);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(ecuLine.rfind("ecu: /dev/pts/", 0), 0u) << ecuLine;
    EXPECT_EQ(lambdaLine.rfind("lambda: /dev/pts/", 0), 0u) << lambdaLine;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(dump, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<long>(in.tellg()), 65536L);
}

}  // namespace
}  // namespace veltrano
