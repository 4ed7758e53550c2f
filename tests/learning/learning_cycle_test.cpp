#include <algorithm>
#include <cmath>

#include "log/log_format.h"
#include "log/log_texts.h"
#include "tests/learning/cycle_fixture.h"

namespace veltrano {
namespace {

// Base point: RPM_RT 2 (1000 rpm), DAD_RT 6 (50 kPa).
constexpr double kRpm = 1000;
constexpr int kKpa = 50;

TEST_F(CycleTest, NoLambdaSourceLearnsNothingButViewAndLogGoOn) {
    options.source = LambdaSource::None;
    engine.SetOptions(options);
    SessionLog::CreateDirectory(logDir);
    SessionLog log(logDir, "(01.02.26_10.00)");
    for (int i = 0; i < 30; ++i)
        Process(At(kRpm, kKpa), 14.7, &log);
    const ProgramLearningState s = engine.State();
    EXPECT_EQ(s.samples, 0);
    EXPECT_EQ(s.updates, 0);
    EXPECT_EQ(s.op.RPM_RT, 2);
    EXPECT_EQ(s.op.LoadIndex, 6);
    EXPECT_DOUBLE_EQ(s.LC_COrrect, 1.0);
    EXPECT_EQ(view.records, 30);
    const std::string text = ReadFile(log.Path());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 31);  // header and 30 rows
    EXPECT_FALSE(link.IsNew());
}

TEST_F(CycleTest, FuelTableEditRestartsTheSampleCount) {
    Process(At(kRpm, kKpa), 14.7 * 1.1, nullptr);
    for (int i = 0; i < 9; ++i)
        Process(At(kRpm, kKpa), 14.7 * 1.1, nullptr);
    engine.NotePcnRewrite(false);
    EXPECT_EQ(engine.State().count_log, 0);
    EXPECT_EQ(engine.State().OltRewriteMark, 1);
    Process(At(kRpm, kKpa), 14.7 * 1.1, nullptr);  // no update: the run started again
    EXPECT_EQ(engine.State().updates, 0);
    EXPECT_EQ(engine.State().count_log, 1);
}

TEST_F(CycleTest, TenthStationarySampleTriggersTheUpdateAndTheOltWrite) {
    SessionLog::CreateDirectory(logDir);
    SessionLog log(logDir, "(01.02.26_10.01)");
    Process(At(kRpm, kKpa), 14.7 * 1.1, &log);  // arriving in the cell starts the run
    for (int i = 0; i < 9; ++i)
        Process(At(kRpm, kKpa), 14.7 * 1.1, &log);
    EXPECT_EQ(engine.State().count_log, 9);
    EXPECT_EQ(engine.State().updates, 0);
    Process(At(kRpm, kKpa), 14.7 * 1.1, &log);
    const ProgramLearningState s = engine.State();
    EXPECT_EQ(s.updates, 1);
    EXPECT_EQ(s.count_log, 0);
    EXPECT_EQ(link.Raised(LinkRequest::PCN), 1);
    EXPECT_TRUE(link.olt);
    EXPECT_EQ(link.Tables().StartAddrPCN, 0x9294);
    EXPECT_EQ(link.requestDelay, 50);
    EXPECT_GT(link.Tables().TablePCN[(6 - 1) * 16 + 1], 128);  // the cell was made richer
    EXPECT_EQ(grids.RzStringGrid2.Cell(2, 6), GeneralText(s.LambdaWindowMean));
    // The row of this record carries the OLT mark.
    const std::string text = ReadFile(log.Path());
    ASSERT_GT(text.size(), 2u);
    const std::size_t from = text.rfind('\n', text.size() - 2) + 1;
    const std::string last = text.substr(from, text.size() - 2 - from);
    const auto fields = SplitFields(last);
    ASSERT_EQ(fields.size(), 71u);
    EXPECT_EQ(fields[60], "1");
}

struct MoveCase {
    const char* name;
    LiveRecord record;
    bool skipBelow2Tps;
    bool keepsRun;
};

TEST_F(CycleTest, StationarityKeepsOrRestartsTheRun) {
    auto with = [](LiveRecord r, auto edit) {
        edit(r);
        return r;
    };
    const MoveCase cases[] = {
        {"one cell both ways", At(kRpm + 400, kKpa + 6), true, true},
        {"one cell back", At(kRpm - 400, kKpa - 6), true, true},
        {"two cells in speed", At(kRpm + 800, kKpa), true, false},
        {"two cells in load", At(kRpm, kKpa + 12), true, false},
        {"fuel cut", with(At(kRpm, kKpa), [](LiveRecord& r) { r.flag_fuelOFF = 1; }), true, false},
        {"enrichment", with(At(kRpm, kKpa), [](LiveRecord& r) { r.FsensorCoeffCorrGTC_HI = 0.1; }),
         true, false},
        {"1.5 % ticked", At(kRpm, kKpa, 1.5), true, false},
        {"1.5 % unticked", At(kRpm, kKpa, 1.5), false, true},
        {"0.5 % off idle", At(kRpm, kKpa, 0.5), false, false},
        {"0.5 % at idle", with(At(kRpm, kKpa, 0.5), [](LiveRecord& r) { r.flag_XX = 1; }), false,
         true},
    };
    for (const auto& c : cases) {
        options.skipBelow2Tps = c.skipBelow2Tps;
        options.hitsPerPoint = 100;
        engine.SetOptions(options);
        Process(At(kRpm, kKpa + 30), 14.7);  // elsewhere
        for (int i = 0; i < 4; ++i)
            Process(At(kRpm, kKpa), 14.7);  // the jump back resets
        ASSERT_EQ(engine.State().count_log, 3) << c.name;
        Process(c.record, 14.7);
        EXPECT_EQ(engine.State().count_log, c.keepsRun ? 4 : 0) << c.name;
    }
}

TEST_F(CycleTest, GatesCoolantLearningSwitchAndWriteTarget) {
    const struct {
        const char* name;
        double coolant;
        bool educations;
        WriteTarget target;
    } cases[] = {
        {"cold", 59, true, WriteTarget::Olt},
        {"switched off", 90, false, WriteTarget::Olt},
        {"no target", 90, true, WriteTarget::None},
        {"RAM UOZ", 90, true, WriteTarget::RamUoz},
    };
    for (const auto& c : cases) {
        options.target = c.target;
        engine.SetOptions(options);
        engine.SetEducations(c.educations);
        LiveRecord r = At(kRpm, kKpa);
        r.FsensorCoolantTemp = c.coolant;
        for (int i = 0; i < 12; ++i)
            Process(r, 14.7);
        EXPECT_EQ(engine.State().samples, 0) << c.name;
    }
    LiveRecord r = At(kRpm, kKpa);
    r.FsensorCoolantTemp = 60;  // at the limit learning is allowed
    options.target = WriteTarget::RamPcn;
    engine.SetOptions(options);
    engine.SetEducations(true);
    Process(r, 14.7);
    EXPECT_EQ(engine.State().samples, 1);
}

TEST_F(CycleTest, NarrowbandSourcesLearnOnlyInTheirZones) {
    const struct {
        LambdaSource source;
        int zone;
        bool learns;
        double coeff;
    } cases[] = {
        {LambdaSource::VoltDk, 0, true, 1.0},  // 0.45 V gives 14.7 over a target of 14.7
        {LambdaSource::VoltDk, 1, false, 1.0},
        {LambdaSource::Dk, 1, true, 1.25},  // the ECU's own coefficient
        {LambdaSource::Dk, 0, false, 1.25},
    };
    Process(At(kRpm, kKpa));  // arriving in the cell starts the run
    for (const auto& c : cases) {
        options.source = c.source;
        engine.SetOptions(options);
        const long before = engine.State().samples;
        LiveRecord r = At(kRpm, kKpa);
        r.flag_zone_O2 = c.zone;
        r.FsensorFuelTimeCorrection = 1.25;
        Process(r);
        EXPECT_EQ(engine.State().samples - before, c.learns ? 1 : 0);
        EXPECT_DOUBLE_EQ(view.last.LambdaCoeff, c.coeff);
    }
}

TEST_F(CycleTest, WidebandSourceNeedsLiveReadings) {
    for (int i = 0; i < 30; ++i)
        Process(At(kRpm, kKpa));  // controller silent from the start
    EXPECT_EQ(engine.State().samples, 0);
    EXPECT_EQ(grids.SG_PCN.Cell(2, 6), "1");
    Process(At(kRpm, kKpa), 14.7 * 1.1);
    EXPECT_EQ(engine.State().samples, 1);
    // The controller goes silent: the last quotient serves a few more records, then none.
    for (int i = 0; i < 40; ++i)
        Process(At(kRpm, kKpa));
    EXPECT_EQ(engine.State().samples, 1 + kStaleReadingRecords);
}

TEST_F(CycleTest, ZeroTargetAfrNeverMakesInfinities) {
    SessionLog::CreateDirectory(logDir);
    SessionLog log(logDir, "(01.02.26_10.02)");
    LiveRecord r = At(kRpm, kKpa);
    r.FsensorAirFuelRatio = 0;
    for (int i = 0; i < 12; ++i)
        Process(r, 14.7, &log);
    const ProgramLearningState s = engine.State();
    EXPECT_EQ(s.LC_COrrect, 0);
    EXPECT_EQ(s.COEFF_B1S1, 0);
    EXPECT_EQ(s.samples, 0);
    const std::string text = ReadFile(log.Path());
    EXPECT_EQ(text.find("INF"), std::string::npos);
    EXPECT_EQ(text.find("NAN"), std::string::npos);
    Process(At(kRpm, kKpa), 14.7 * 1.2, &log);
    EXPECT_DOUBLE_EQ(engine.State().LC_COrrect, 1.2);
}

TEST_F(CycleTest, CellWithoutANumberIsReportedOnceAndNotLearned) {
    SessionLog::CreateDirectory(logDir);
    SessionLog log(logDir, "(01.02.26_10.03)");
    grids.SG_PCN.SetCell(3, 7, "1,0x");  // a neighbour of the current cell
    for (int i = 0; i < 15; ++i)
        Process(At(kRpm, kKpa), 14.7, &log);
    EXPECT_EQ(view.badCells.size(), 1u);
    EXPECT_EQ(engine.State().samples, 0);
    EXPECT_EQ(view.records, 15);
    grids.SG_PCN.SetCell(3, 7, "1");
    Process(At(kRpm, kKpa), 14.7, &log);
    EXPECT_EQ(engine.State().samples, 1);
}

TEST_F(CycleTest, LogFailureIsShownAndTheCycleGoesOn) {
    SessionLog log(logDir / "Logs", "(01.02.26_10.04)");
    for (int i = 0; i < 3; ++i)
        Process(At(kRpm, kKpa), 14.7, &log);
    ASSERT_EQ(view.logStatus.size(), 1u);
    EXPECT_EQ(view.logStatus[0].rfind(kLogWriteFailed, 0), 0u);
    EXPECT_EQ(view.records, 3);
    EXPECT_EQ(engine.State().count_log, 2);  // the first record only arrives in the cell
    std::filesystem::create_directories(logDir / "Logs");
    Process(At(kRpm, kKpa), 14.7, &log);
    ASSERT_EQ(view.logStatus.size(), 2u);
    EXPECT_EQ(view.logStatus[1], "");
    // The three rows of the failure waited and came out first: no row is lost.
    const std::string text = ReadFile(log.Path());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

TEST_F(CycleTest, RepaintOnlyWhenTheCellChanges) {
    Process(At(kRpm, kKpa, 10));
    const int first = view.cellChanges;
    EXPECT_EQ(first, 1);
    Process(At(kRpm + 10, kKpa, 10));
    EXPECT_EQ(view.cellChanges, 1);
    Process(At(kRpm, kKpa, 20));  // throttle row only, not the PCN row
    EXPECT_EQ(view.cellChanges, 2);
}

TEST_F(CycleTest, ProgramStateSurvivesAReconnect) {
    options.rememberMovement = true;
    engine.SetOptions(options);
    for (int i = 0; i < 25; ++i)
        Process(At(kRpm + 100, kKpa + 2), 14.7 * 1.02);
    const ProgramLearningState before = engine.State();
    EXPECT_EQ(before.MovementMap[2][6], 25);
    ConnectionLearningState fresh;  // a new connection's thread state
    conn = fresh;
    const ProgramLearningState after = engine.State();
    EXPECT_EQ(after.LearnHits, before.LearnHits);
    EXPECT_EQ(after.MovementMap, before.MovementMap);
    EXPECT_EQ(after.T.T1, before.T.T1);
    engine.ResetMovement();
    engine.ResetLearning();
    EXPECT_EQ(engine.State().MovementMap[2][6], 0);
    EXPECT_EQ(engine.State().LearnHits[2][6], 0);
}

}  // namespace
}  // namespace veltrano
