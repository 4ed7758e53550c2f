// A learning engine on test grids and axes, fed through a fake link.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "common/text_forms.h"
#include "learning/learning_engine.h"
#include "tests/learning/fake_link.h"

namespace veltrano {

class RecordingView final : public LearningView {
  public:
    void RecordProcessed(const LearningShown& s) override {
        std::lock_guard lock(mutex);
        last = s;
        ++records;
    }
    void CellChanged() override {
        std::lock_guard lock(mutex);
        ++cellChanges;
    }
    void LogStatus(const std::string& text) override {
        std::lock_guard lock(mutex);
        logStatus.push_back(text);
    }
    void CellNotNumber(const std::string& text) override {
        std::lock_guard lock(mutex);
        badCells.push_back(text);
    }
    int Records() {
        std::lock_guard lock(mutex);
        return records;
    }
    std::mutex mutex;
    LearningShown last;
    int records = 0;
    int cellChanges = 0;
    std::vector<std::string> logStatus;
    std::vector<std::string> badCells;
};

class CycleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetDecimalSeparator(',');
        for (int i = 0; i < 16; ++i) {
            image.axes.FRPMAxis[i] = 600 + 400 * i;
            image.axes.FThrottleAxis[i] = 4 * i;
            image.axes.FDADAxis[i] = 20 + 6 * i;
        }
        for (int i = 0; i < 32; ++i) {
            image.axes.FRPMAxis_32[i] = 600 + 200 * i;
            image.axes.FdadAxis_32[i] = 20 + 3 * i;
        }
        image.FlagDAD = true;
        image.FlagPcnGridDad = true;
        image.addresses = {0x1111, 0x2222, 0x9294, 0x4444};
        image.loaded = true;
        for (int c = 1; c <= 16; ++c) {
            for (int r = 1; r <= 16; ++r) {
                grids.SG_PCN.SetCell(c, r, "1");
                grids.SG_BCN.SetCell(c, r, "100");
                grids.SG_RT.SetCell(c, r, "0");
            }
        }
        link.tables.TablePCN.fill(128);
        engine.ImageOpened(image);
        engine.SetView(&view);
        options.target = WriteTarget::Olt;
        options.source = LambdaSource::Shdk;
        engine.SetOptions(options);
        engine.SetEducations(true);
        logDir = std::filesystem::path(VELTRANO_BINARY_DIR) / "tests" / "cycle_logs" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(logDir);
        std::filesystem::create_directories(logDir.parent_path());
    }

    // A warm engine at the given point, in the ECU's closed-loop zone with O2 ready.
    static LiveRecord At(double rpm, int pressure, double tps = 10) {
        LiveRecord r;
        r.FsensorCrankshaftSpeed = rpm;
        r.FsensorPressure = pressure;
        r.FsensorThrottlePosition = tps;
        r.FsensorCoolantTemp = 90;
        r.FsensorAirFuelRatio = 14.7;
        r.FsensorAirCycleRate = 100;
        r.FsensorLamMdaVoltage_2 = 0.45;
        r.FsensorFuelTimeCorrection = 1.0;
        r.flag_O2_gotov = 1;
        return r;
    }

    void Process(const LiveRecord& r, double lambdaAfr = 0, SessionLog* log = nullptr) {
        if (lambdaAfr > 0)
            lambda.Publish(lambdaAfr);
        link.Publish(r);
        engine.ProcessRecord(conn, link, &lambda, log);
    }

    static std::string ReadFile(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    CalibrationGrids grids;
    std::mutex gridsMutex;
    LearningEngine engine{grids, gridsMutex};
    LearningImage image;
    LearningOptions options;
    FakeLink link;
    FakeLambda lambda;
    RecordingView view;
    ConnectionLearningState conn;
    std::filesystem::path logDir;
};

}  // namespace veltrano
