// One learning session against a synthetic engine whose true fuel demand is off the
// table in the cells it visits; the driver thread runs the cycle as it would on a car.
#include <chrono>
#include <cmath>
#include <thread>

#include "learning/education_thread.h"
#include "tests/learning/cycle_fixture.h"

namespace veltrano {
namespace {

struct Point {
    double rpm;
    int kpa;
};

// Steady operating points, slightly off the axis points, as a tuner holds them.
constexpr Point kPoints[] = {{1100, 44}, {1900, 56}, {2650, 62}, {3420, 75}};

class ConvergenceTest : public CycleTest {
  protected:
    // The engine wants 15 % more fuel than the table gives in every cell.
    static double TrueDemand(int, int) { return 1.15; }

    // PCN in use at the point: the link's table (what the ECU received), bilinear.
    double InUse(const Point& p, const LinkTables& t) const {
        OperatingCell op;
        AxisFractions f;
        LocateOperatingPoint(image.axes, {static_cast<double>(p.kpa), 10, p.rpm}, true, op, f);
        auto cell = [&](int c, int r) { return t.TablePCN[(r - 1) * 16 + c - 1] / 128.0; };
        const int c = op.RPM_RT, r = op.DAD_RT;
        const double rf = f.RpmFrac, lf = f.DadFrac;
        return (1 - rf) * (1 - lf) * cell(c, r) + rf * (1 - lf) * cell(c + 1, r) +
               (1 - rf) * lf * cell(c, r + 1) + rf * lf * cell(c + 1, r + 1);
    }

    // Mean absolute mixture error over the cells the points sit in.
    double Error() const {
        const LinkTables t = link.Tables();
        double sum = 0;
        for (const Point& p : kPoints)
            sum += std::fabs(InUse(p, t) / 1.15 - 1);
        return sum / std::size(kPoints);
    }

    // One record at p: the wideband sees the mixture the table in use gives.
    void Drive(const Point& p) {
        lambda.Publish(14.7 * TrueDemand(0, 0) / InUse(p, link.Tables()));
        link.Publish(At(p.rpm, p.kpa));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (link.IsNew() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        // The pass clears the flag first and finishes shortly after.
        while (view.Records() < expected_ && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        ++expected_;
    }
    int expected_ = 1;
};

TEST_F(ConvergenceTest, VisitedCellsConvergeAndEveryRecordIsLogged) {
    SessionLog::CreateDirectory(logDir);
    auto log = std::make_unique<SessionLog>(logDir, "(02.02.26_12.00)");
    const auto path = log->Path();
    TEducation_Thread thread(engine, link, &lambda, std::move(log));

    const double start = Error();
    EXPECT_NEAR(start, 0.13, 0.01);
    int records = 0;
    double lowest = start;
    for (int round = 0; round < 8; ++round) {
        for (const Point& p : kPoints) {
            for (int i = 0; i < 40; ++i, ++records)
                Drive(p);
        }
        lowest = std::min(lowest, Error());
    }
    thread.Terminate();
    thread.WaitFor();

    const double end = Error();
    EXPECT_LT(end, 0.05);
    EXPECT_LT(end, start / 3);
    EXPECT_GT(engine.State().updates, 8);
    const std::string text = ReadFile(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), records + 1);
    RecordProperty("start_error", std::to_string(start));
    RecordProperty("end_error", std::to_string(end));
}

TEST_F(ConvergenceTest, DriverIdlesWithoutRecordsAndEndsPromptly) {
    auto thread = std::make_unique<TEducation_Thread>(engine, link, &lambda, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(view.Records(), 0);
    link.running = false;
    link.Publish(At(1000, 50));  // a stopped link's flag is not served
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(view.Records(), 0);
    const auto t0 = std::chrono::steady_clock::now();
    thread->Terminate();
    thread->WaitFor();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(200));
    EXPECT_TRUE(thread->Finished());
}

}  // namespace
}  // namespace veltrano
