// veltrano-cli session against the simulated car: the program is run as a tuner runs it, the
// ECU and the wideband controller answer on pseudo-terminals in this process.
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
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

long Figure(const std::string& out, const std::string& name) {
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

    // An engine 15 % leaner than the image expects, held at steady points in turn; or the
    // realistic engine on its own drive.
    void StartCar(bool realistic = false) {
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
        if (realistic) {
            o.script.clear();
            UseRealisticEngine(o);
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

    // Runs the program; with `interruptAfter` it gets SIGINT after that long.
    Result Run(const std::string& args,
               std::optional<std::chrono::milliseconds> interruptAfter = std::nullopt) const {
        const std::string cmd = "exec " + std::string(VELTRANO_BINARY_DIR) +
                                "/veltrano-cli session " + args + " >" + P("stdout") + " 2>" +
                                P("stderr");
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

TEST_F(SessionCommand, LearnsLogsEveryRecordAndSavesTheLearnedImage) {
    StartCar();
    const Result r = Run(Car() + Wideband() +
                         " --source shdk --target olt --learn --hits 10 --delay 10"
                         " --records 400 --save-image " +
                         P("learned.bin"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Figure(r.out, "records"), 400) << r.out;
    EXPECT_GT(Figure(r.out, "updates"), 0) << r.out;
    EXPECT_GT(Figure(r.out, "writes requested"), 0) << r.out;
    EXPECT_EQ(LogRows().size(), 401u);  // the header and one row per record

    RecordedMessages messages;
    Calibration before, after;
    ASSERT_TRUE(OpenCalibrationBytes(image, messages, before, ','));
    const std::string bytes = Slurp(dir / "learned.bin");
    const std::vector<std::uint8_t> saved(bytes.begin(), bytes.end());
    ASSERT_EQ(saved.size(), image.size());
    ASSERT_TRUE(TFirmware::ChecksumCorrect(saved));
    ASSERT_TRUE(OpenCalibrationBytes(saved, messages, after, ','));
    const int pcn = before.layout.StartAddrPCN;
    int changed = 0;
    for (int i = 0; i < 256; ++i)
        changed += saved[pcn + i] != image[pcn + i];
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 64);  // only around the two points driven
    // The update nudges the BCN beside the PCN; nothing else but the checksum moves.
    const int bcn = before.layout.StartAddrBCN;
    const auto learned = [&](int i) {
        return (i >= pcn && i < pcn + 256) || (i >= bcn && i < bcn + 256) || i >= 0xFFFA;
    };
    for (int i = 0; i < int(image.size()); ++i) {
        if (!learned(i) && saved[i] != image[i])
            ADD_FAILURE() << "byte " << i << " changed";
    }
}

TEST_F(SessionCommand, SamplesPerUpdateDefaultToTheSettingsFile) {
    std::ofstream(dir / "Settings.ini") << "[OBDII]\r\nDelayRate=10\r\n"
                                           "[EDUCATION]\r\nCOUNT_RT_REWRITE=100\r\n";
    StartCar();
    const Result r = Run(Car() + Wideband() + " --source shdk --target olt --learn --records 300");
    ASSERT_EQ(r.code, 0) << r.err;
    // With the box at 100 samples an update needs a whole dwell; at 10 there would be dozens.
    EXPECT_LE(Figure(r.out, "updates"), 3) << r.out;
}

TEST_F(SessionCommand, PreciseModeLearnsOnTheRealisticEngine) {
    StartCar(true);
    const Result r =
        Run(Car() + Wideband() + " --source shdk --target olt --learn --mode precise --seconds 14");
    ASSERT_EQ(r.code, 0) << r.err;
    // Idle first, then the first cruise: the cells it crosses are learned.
    EXPECT_GT(Figure(r.out, "updates"), 0) << r.out;
    EXPECT_GT(Figure(r.out, "writes requested"), 0) << r.out;
}

TEST_F(SessionCommand, SigintEndsTheSessionCleanly) {
    StartCar();
    const Result r = Run(Car() + " --source dk --target ram --learn", 2500ms);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("interrupted"), std::string::npos);
    const long records = Figure(r.out, "records");
    EXPECT_GT(records, 10) << r.out;
    EXPECT_EQ(long(LogRows().size()), records + 1);
    // The link closed its session with the ECU before the program ended.
    EXPECT_FALSE(ecu->Status().communicating);
}

TEST_F(SessionCommand, TimeLimitEndsTheSession) {
    StartCar();
    const Result r = Run(Car() + " --seconds 2");
    ASSERT_EQ(r.code, 0) << r.err;
    const long records = Figure(r.out, "records");
    EXPECT_GT(records, 10) << r.out;
    EXPECT_EQ(Figure(r.out, "updates"), 0);  // learning was off
    EXPECT_EQ(long(LogRows().size()), records + 1);
}

TEST_F(SessionCommand, AnEcuThatFallsSilentEndsTheSessionWithAnError) {
    StartCar();
    const std::string args = Car() + " --save-image " + P("kept.bin");
    std::thread stop([this] {
        std::this_thread::sleep_for(1500ms);
        ecu->Stop();
    });
    const Result r = Run(args);
    stop.join();
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("stopped answering"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    const long records = Figure(r.out, "records");
    EXPECT_GT(records, 10) << r.out;
    EXPECT_EQ(long(LogRows().size()), records + 1);
    EXPECT_TRUE(fs::exists(dir / "kept.bin"));  // what was learned is not lost
}

// A pseudo-terminal nobody answers on: a port that opens but an ECU that stays silent.
class SilentPort {
  public:
    SilentPort() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = ptsname(master_);
    }
    ~SilentPort() {
        if (master_ >= 0)
            close(master_);
    }
    const std::string& Path() const { return path_; }

  private:
    int master_ = -1;
    std::string path_;
};

TEST_F(SessionCommand, ErrorsEndWithOneClearLine) {
    StartCar();
    SilentPort silent;
    ASSERT_FALSE(silent.Path().empty());
    std::ofstream(dir / "short.bin", std::ios::binary) << std::string(100, 'x');
    const std::string settings = " --settings " + P("Settings.ini");
    const std::string car = " --port " + ecu->DevicePath();
    const std::string img = " --image " + P("image.bin");
    const struct {
        std::string args;
        int code;
        std::string text;
    } cases[] = {
        {"--port /dev/veltrano-no-such-port" + img, 1, "cannot open the port"},
        {car + " --image " + P("missing.bin"), 1, "no such file"},
        {car + " --image " + P("short.bin"), 1, ""},
        {"--port " + silent.Path() + img, 1, "does not answer"},
        {car + img + " --lambda-port /dev/veltrano-no-such-port", 1, "wideband port"},
        {img, 2, "--port and --image are required"},
        {car + img + " --records 10 --seconds 2", 2, "exclude each other"},
        {car + img + " --hits 5", 2, "bad value for --hits"},
        {car + img + " --delay 600", 2, "bad value for --delay"},
        {car + img + " --source lambda", 2, "bad value for --source"},
        {car + img + " --mode fast", 2, "bad value for --mode"},
        {car + img + " --lambda-type LC-2", 2, "bad value for --lambda-type"},
        {car + img + " --records x", 2, "bad value for --records"},
        {car + img + " --speed 1", 2, "unknown option --speed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args + settings + " --log-dir " + P("out"));
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
}  // namespace veltrano
