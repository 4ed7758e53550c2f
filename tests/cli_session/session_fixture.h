// The simulated car on pseudo-terminals in this process and veltrano-cli run as a tuner
// runs it, for the tests of the connected commands.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "calibration/firmware.h"
#include "common/messages.h"
#include "log/log_format.h"
#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

inline std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline long Figure(const std::string& out, const std::string& name) {
    std::smatch m;
    const std::regex re(name + ": (\\d+)");
    return std::regex_search(out, m, re) ? std::stol(m[1]) : -1;
}

class SessionCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(VELTRANO_BINARY_DIR) / "test-files" / "session" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
        image = MakeDemoImage(DefaultDemoOptions());
        std::ofstream(dir / "image.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
        std::ofstream(dir / "Settings.ini") << "[OBDII]\r\nDelayRate=10\r\n";
    }
    void TearDown() override {
        if (lambda)
            lambda->Stop();
        if (ecu)
            ecu->Stop();
    }

    // An engine 15 % leaner than the image expects, held at steady points in turn.
    void StartCar() {
        EcuSimOptions o;
        o.image = image;
        o.wireTiming = false;
        o.answerDelayMs = 2;
        o.trueVeErrorPercent = 15;
        o.coolantStart = 90;
        double t = 0;
        for (const OperatingPoint& p : {OperatingPoint{1500, 12, 45, 40}, {2200, 20, 58, 40}}) {
            o.script.push_back({t, p});
            t += 2.5;
            o.script.push_back({t, p});
            t += 0.2;
        }
        ecu = std::make_unique<EcuSimulator>(o);
        LambdaSimOptions l;
        l.wireTiming = false;
        EcuSimulator* e = ecu.get();
        l.afrSource = [e] { return e->MeasuredAfr(); };
        lambda = std::make_unique<LambdaSimulator>(l);
        std::string error;
        ASSERT_TRUE(ecu->Start(&error)) << error;
        ASSERT_TRUE(lambda->Start(&error)) << error;
    }

    std::string Car() const {
        return "--port " + ecu->DevicePath() + " --image " + P("image.bin") + " --settings " +
               P("Settings.ini") + " --log-dir " + P("out");
    }
    std::string Wideband() const {
        return " --lambda-port " + lambda->DevicePath() + " --lambda-type LC-1/2";
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    // Runs `session`; with `interruptAfter` it gets SIGINT after that long.
    Result Run(const std::string& args,
               std::optional<std::chrono::milliseconds> interruptAfter = std::nullopt) const {
        return RunCli("session " + args, interruptAfter);
    }

    // Runs veltrano-cli with the command and its arguments.
    Result RunCli(const std::string& args,
                  std::optional<std::chrono::milliseconds> interruptAfter = std::nullopt) const {
        const std::string cmd = "exec " + std::string(VELTRANO_BINARY_DIR) + "/veltrano-cli " +
                                args + " >" + P("stdout") + " 2>" + P("stderr");
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (interruptAfter) {
            std::this_thread::sleep_for(*interruptAfter);
            kill(pid, SIGINT);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "stdout"),
                Slurp(dir / "stderr")};
    }

    // The rows of the one log file under out/Logs; every row must have 71 fields.
    std::vector<std::string> LogRows() const {
        std::vector<std::string> rows;
        const fs::path logs = dir / "out" / "Logs";
        EXPECT_TRUE(fs::is_directory(logs));
        if (!fs::is_directory(logs))
            return rows;
        int files = 0;
        for (const auto& e : fs::directory_iterator(logs)) {
            ++files;
            std::istringstream in(Slurp(e.path()));
            std::string line;
            while (std::getline(in, line)) {
                EXPECT_EQ(line.back(), '\r');
                line.pop_back();
                EXPECT_EQ(SplitFields(line).size(), 71u) << line;
                rows.push_back(line);
            }
        }
        EXPECT_EQ(files, 1);
        return rows;
    }

    std::vector<std::uint8_t> image;
    fs::path dir;
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
};

}  // namespace veltrano
