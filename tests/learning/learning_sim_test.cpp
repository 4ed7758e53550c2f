// A learning session against the simulated car: a real link on a pseudo-terminal, the
// wideband reader on a second one, OLT target, learning on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "calibration/calibration_file.h"
#include "calibration/demo_image.h"
#include "common/messages.h"
#include "common/text_forms.h"
#include "learning/learning_connection.h"
#include "learning/table_transfer.h"
#include "tests/learning/sim_car.h"

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
        car = std::make_unique<SimCar>(image, 15.0, kDrive);
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

    // The PCN the simulated ECU uses: its RAM window once the tool has written it.
    std::vector<std::uint8_t> InUse() const {
        const std::uint16_t start = cal.layout.StartAddrPCN;
        if (target == WriteTarget::Olt)
            return car->ReadMemory(start, 256);
        auto ram = car->ReadMemory(0xFE00, 256);
        if (std::all_of(ram.begin(), ram.end(), [](std::uint8_t b) { return b == 0; })) {
            return car->ReadMemory(start, 256);
        }
        return ram;
    }

    // Mixture error of the table in use over the cells the drive visits.
    double Error(const CellCounts& visits) const {
        const std::uint16_t start = cal.layout.StartAddrPCN;
        const auto now = InUse();
        double sum = 0;
        int cells = 0;
        for (int c = 1; c <= 16; ++c) {
            for (int r = 1; r <= 16; ++r) {
                if (visits[c][r] < 20)
                    continue;
                const int k = (r - 1) * 16 + c - 1;
                sum += std::fabs(now[k] / (image[start + k] * 1.15) - 1);
                ++cells;
            }
        }
        return cells > 0 ? sum / cells : 1.0;
    }

    std::vector<std::uint8_t> image;
    RecordedMessages messages;
    Calibration cal;
    std::unique_ptr<SimCar> car;
    std::unique_ptr<TOBDII> link;
    std::filesystem::path logDir;
    // The simulator reports a transient enrichment coefficient of 1 in the OLT live block,
    // which restarts every stationary run; the RAM target polls the other block.
    WriteTarget target = WriteTarget::RamPcn;
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
    options.target = target;
    options.source = LambdaSource::Shdk;
    options.rememberMovement = true;
    options.requestDelay = 10;
    engine.SetOptions(options);

    auto log = std::make_unique<SessionLog>(logDir, "(03.02.26_09.00)");
    const auto logPath = log->Path();
    long records = 0;
    double start = 1, end = 1;
    {
        LearningConnection learning(engine, *link, lc.get(), std::move(log));
        ObdiiLearningLink access(*link);
        LoadLinkTables(cal.firmware, cal.layout, access);
        link->FlagWriteFirmware = true;  // the once-per-session OLT block is not under test
        link->Flag = true;

        std::this_thread::sleep_for(8s);  // one round of the drive, learning off
        start = Error(engine.State().MovementMap);
        engine.SetEducations(true);
        std::this_thread::sleep_for(24s);
        link->Flag = false;
        std::this_thread::sleep_for(300ms);
        learning.Terminate();
    }
    const ProgramLearningState s = engine.State();
    end = Error(s.MovementMap);
    records = s.records;
    RecordProperty("records", std::to_string(records));
    RecordProperty("updates", std::to_string(s.updates));
    RecordProperty("start_error", std::to_string(start));
    RecordProperty("end_error", std::to_string(end));
    std::printf("records %ld updates %ld error %.4f -> %.4f\n", records, s.updates, start, end);

    EXPECT_GT(s.updates, 10);
    EXPECT_LT(end, 0.05);
    EXPECT_LT(end, start / 3);
    std::ifstream in(logPath, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), records + 1);
}

}  // namespace
}  // namespace veltrano
