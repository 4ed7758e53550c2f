// Replay: rows at the log's pace and speed, pause and seek; the rows reach the learning
// cycle as live records with no port opened.
#include <gtest/gtest.h>

#include <thread>

#include "analysis/replay_session.h"

namespace veltrano {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::shared_ptr<LogTable> Timed(const std::vector<double>& times) {
    auto t = std::make_shared<LogTable>();
    std::array<float, kLogColumnCount> v{};
    for (std::size_t i = 0; i < times.size(); ++i) {
        v[logcol::Rpm] = 1000.0f + static_cast<float>(i);
        v[logcol::TargetAfr] = 14.7f;
        v[logcol::WidebandAfr] = 15.0f;
        t->Append(times[i], v);
    }
    return t;
}

// Advances a fake clock and collects the rows due by then.
struct Stepper {
    Clock::time_point now{};
    ReplaySource source;
    explicit Stepper(std::shared_ptr<LogTable> log)
        : source(std::move(log), [this] { return now; }) {}
    std::vector<std::size_t> After(std::chrono::milliseconds ms) {
        now += ms;
        std::vector<std::size_t> rows;
        while (const auto r = source.Next())
            rows.push_back(*r);
        return rows;
    }
};

using Rows = std::vector<std::size_t>;

TEST(ReplaySource, RowsComeAtTheLogsPaceTimesTheSpeed) {
    // Rows at 0, 0.125, 0.25, 1 and 2 s of log time (exact in binary).
    const auto log = Timed({64.0, 64.125, 64.25, 65.0, 66.0});
    const struct {
        int speed;
        std::chrono::milliseconds step;
        std::vector<Rows> expected;  // rows due after each step
    } cases[] = {
        {1, 125ms, {{0, 1}, {2}, {}, {}, {}, {}, {}, {3}}},
        {4, 50ms, {{0, 1}, {2}, {}, {}, {3}}},
        {16, 20ms, {{0, 1, 2}, {}, {}, {3}}},
    };
    for (const auto& c : cases) {
        Stepper s(log);
        s.source.SetSpeed(c.speed);
        EXPECT_EQ(s.After(0ms), Rows{}) << "paused at start";
        s.source.Play();
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(s.After(c.step), c.expected[i]) << c.speed << "x step " << i;
    }
}

TEST(ReplaySource, PauseHoldsAndSeekMoves) {
    Stepper s(Timed({0.0, 1.0, 2.0, 3.0, 4.0, 5.0}));
    s.source.Play();
    EXPECT_EQ(s.After(1000ms), (Rows{0, 1}));
    s.source.Pause();
    EXPECT_EQ(s.After(5000ms), Rows{});
    EXPECT_EQ(s.source.Position(), 2u);
    // Playing on resumes with the next row at once: paused time does not count.
    s.source.Play();
    EXPECT_EQ(s.After(0ms), Rows{2});
    EXPECT_EQ(s.After(999ms), Rows{});
    EXPECT_EQ(s.After(1ms), Rows{3});
    // Seek back: that row at once, then the log's pace again.
    s.source.Seek(1);
    EXPECT_EQ(s.After(0ms), Rows{1});
    EXPECT_EQ(s.After(1000ms), Rows{2});
    // Faster from here on.
    s.source.SetSpeed(4);
    EXPECT_EQ(s.After(250ms), (Rows{3, 4}));
    s.source.Seek(99);
    EXPECT_TRUE(s.source.Finished());
    EXPECT_EQ(s.After(10000ms), Rows{});
}

class ProcessedRpms final : public LearningView {
  public:
    void RecordProcessed(const LearningShown& s) override {
        std::lock_guard lock(mutex);
        rpms.push_back(s.live.FsensorCrankshaftSpeed);
        if (s.reading)
            ++readings;
    }
    std::vector<double> Rpms() {
        std::lock_guard lock(mutex);
        return rpms;
    }
    std::mutex mutex;
    std::vector<double> rpms;
    int readings = 0;
};

TEST(ReplaySession, RowsReachTheCycleAsLiveRecordsWithoutAPort) {
    std::vector<double> times;
    for (int i = 0; i < 40; ++i)
        times.push_back(50.0 + 0.02 * i);
    const auto log = Timed(times);
    CalibrationGrids grids;
    std::mutex gridsMutex;
    LearningEngine engine(grids, gridsMutex);
    ProcessedRpms view;
    engine.SetView(&view);
    {
        ReplaySession replay(engine, log);
        replay.Source().SetSpeed(4);
        replay.Source().Play();
        const auto deadline = Clock::now() + 10s;
        while (!replay.Source().Finished() && Clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        ASSERT_TRUE(replay.Source().Finished());
        // The cycle takes the last row too.
        while (view.Rpms().empty() || view.Rpms().back() != 1039.0) {
            ASSERT_LT(Clock::now(), deadline);
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(replay.Link().DroppedRequests(), 0);
    }
    engine.SetView(nullptr);
    // In order; a record the cycle had no time for merges into the next, as on-line.
    const auto rpms = view.Rpms();
    EXPECT_GE(rpms.size(), 20u);
    for (std::size_t i = 1; i < rpms.size(); ++i)
        EXPECT_LT(rpms[i - 1], rpms[i]);
    EXPECT_GT(view.readings, 0);
}

}  // namespace
}  // namespace veltrano
