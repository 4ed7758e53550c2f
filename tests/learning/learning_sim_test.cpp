// A learning session against the simulated car: a real link on a pseudo-terminal, the
// wideband reader on a second one, OLT target, learning on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>
#include <thread>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/messages.h"
#include "common/text_forms.h"
#include "learning/learning_connection.h"
#include "learning/table_transfer.h"
#include "log/log_format.h"
#include "sim/sim_car.h"

namespace veltrano {
namespace {

using namespace std::chrono_literals;

// Steady points, as a tuner holds them: rpm, throttle %, kPa, seconds.
const std::vector<DwellPoint> kDrive = {
    {1500, 12, 45, 2.5},
    {2200, 20, 58, 2.5},
    {2900, 30, 70, 2.5},
};

class LearningOverSimulator : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDecimalSeparator(',');
        DemoImageOptions demo = DefaultDemoOptions();
        demo.dad = false;  // throttle-indexed PCN: the RAM target's live block has no pressure
        demo.dadUozAfr = false;
        image = MakeDemoImage(demo);
        ASSERT_TRUE(OpenCalibrationBytes(image, messages, cal, ','));
        SimCarOptions carOptions;
        carOptions.image = image;
        carOptions.veErrorPercent = 15.0;
        carOptions.drive = kDrive;
        carOptions.coolantStart = 90;
        car = std::make_unique<SimCar>(std::move(carOptions));
        std::string error;
        ASSERT_TRUE(car->Start(&error)) << error;
        logDir = std::filesystem::path(VELTRANO_BINARY_DIR) / "tests" / "learning_sim_logs";
        std::filesystem::remove_all(logDir);
        std::filesystem::create_directories(logDir);
    }
    void TearDown() override {
        if (link)
            link->Stop();
        car->Stop();
    }

    // Mean |wideband AFR / target AFR - 1| over the log rows of one time span (seconds of
    // the day), rows before the first wideband reading left out.
    static double MixtureError(const std::string& log, double from, double to) {
        std::istringstream in(log);
        std::string line;
        std::getline(in, line);  // header
        double sum = 0;
        int rows = 0;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const auto f = SplitFields(line);
            if (f.size() != 71)
                continue;
            const double t = Seconds(f[0]);
            const double lc = std::stod(std::string(f[56]));
            if (t < from || t >= to || lc == 0)
                continue;
            sum += std::fabs(lc - 1);
            ++rows;
        }
        return rows > 0 ? sum / rows : 1.0;
    }
    static double Seconds(std::string_view time) {
        int h = 0, m = 0, sec = 0, ms = 0;
        std::sscanf(std::string(time).c_str(), "%d:%d:%d.%d", &h, &m, &sec, &ms);
        return h * 3600.0 + m * 60.0 + sec + ms / 1000.0;
    }
    static double Now() {
        const LogTime t = NowLogTime();
        return t.hour * 3600.0 + t.minute * 60.0 + t.second + t.millisecond / 1000.0;
    }

    std::vector<std::uint8_t> image;
    RecordedMessages messages;
    Calibration cal;
    std::unique_ptr<SimCar> car;
    std::unique_ptr<TOBDII> link;
    std::filesystem::path logDir;
};

TEST_F(LearningOverSimulator, TableInUseConvergesAndEveryRecordIsLogged) {
    link = std::make_unique<TOBDII>(car->EcuPort(), 10400, 10400, 0, false, false, 30);
    ASSERT_TRUE(link->Running());
    ASSERT_TRUE(link->ConnectToECU());
    link->FdadNaklon = cal.firmware.FdadNaklon;
    link->FdadSMeshenie = cal.firmware.FdadSMeshenie;
    auto lc = TLcThreat::Create(car->LambdaPort(), "LC-1/2");
    ASSERT_TRUE(lc);

    std::mutex gridsMutex;
    LearningEngine engine(cal.grids, gridsMutex);
    engine.ImageOpened(LearningImageFrom(cal.firmware, cal.layout));
    LearningOptions options;
    // The simulator reports a transient enrichment coefficient of 1 in the OLT live block,
    // which restarts every stationary run; the RAM target polls the other block.
    options.target = WriteTarget::RamPcn;
    options.source = LambdaSource::Shdk;
    options.requestDelay = 10;
    engine.SetOptions(options);

    auto log = std::make_unique<SessionLog>(logDir, "(03.02.26_09.00)");
    const auto logPath = log->Path();
    double t0 = 0, t1 = 0, t2 = 0, t3 = 0;
    {
        LearningConnection learning(engine, *link, lc.get(), std::move(log));
        ObdiiLearningLink access(*link);
        LoadLinkTables(cal.firmware, cal.layout, access);
        link->FlagWriteFirmware = true;  // the once-per-session OLT block is not under test
        link->Flag = true;

        t0 = Now();
        std::this_thread::sleep_for(8s);  // one round of the drive, learning off
        engine.SetEducations(true);
        t1 = Now();
        std::this_thread::sleep_for(24s);
        t2 = Now() - 7.7;  // the last round
        t3 = Now();
        link->Flag = false;
        std::this_thread::sleep_for(300ms);
        learning.Terminate();
    }
    const ProgramLearningState s = engine.State();
    const long records = s.records;
    std::ifstream in(logPath, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    const double start = MixtureError(text, t0, t1);
    const double end = MixtureError(text, t2, t3);
    RecordProperty("records", std::to_string(records));
    RecordProperty("updates", std::to_string(s.updates));
    RecordProperty("start_error", std::to_string(start));
    RecordProperty("end_error", std::to_string(end));
    std::printf("records %ld updates %ld error %.4f -> %.4f\n", records, s.updates, start, end);

    EXPECT_GT(s.updates, 10);
    EXPECT_LT(end, 0.05);
    EXPECT_LT(end, start / 3);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), records + 1);
}

}  // namespace
}  // namespace veltrano
