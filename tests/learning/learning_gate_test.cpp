// The gate that refused a record, as the "Настройка" tab names it, and the counts per gate.
#include <functional>
#include <numeric>

#include "tests/learning/cycle_fixture.h"

namespace veltrano {
namespace {

constexpr double kRpm = 2200;  // cell 5, no fraction
constexpr int kKpa = 44;       // row 5

struct GateCase {
    const char* text;  // expected; "" for a sample
    std::function<void(LiveRecord&, LearningOptions&, bool& educations)> edit;
    LearningGate gate;
};

TEST_F(CycleTest, EachGateIsNamedByTheRecordItRefuses) {
    using G = LearningGate;
    const GateCase cases[] = {
        {"", [](LiveRecord&, LearningOptions&, bool&) {}, G::Admitted},
        {"ДТОЖ ниже 60", [](LiveRecord& r, LearningOptions&, bool&) { r.FsensorCoolantTemp = 59; },
         G::Coolant},
        {"ДТОЖ ниже 75",
         [](LiveRecord& r, LearningOptions& o, bool&) {
             r.FsensorCoolantTemp = 70;
             o.learnCoolant = 75;
         },
         G::Coolant},
        {"отсечка топлива", [](LiveRecord& r, LearningOptions&, bool&) { r.flag_fuelOFF = 1; },
         G::FuelCut},
        {"дроссель < 2 %",
         [](LiveRecord& r, LearningOptions&, bool&) { r.FsensorThrottlePosition = 1.5; },
         G::Throttle},
        {"дроссель < 1 %",
         [](LiveRecord& r, LearningOptions& o, bool&) {
             r.FsensorThrottlePosition = 0.5;
             o.skipBelow2Tps = false;
         },
         G::Throttle},
        {"переходный режим",
         [](LiveRecord& r, LearningOptions&, bool&) { r.FsensorCoeffCorrGTC_HI = 0.2; },
         G::Transient},
        {"нет стационарности 0/1",
         [](LiveRecord& r, LearningOptions&, bool&) { r.FsensorCrankshaftSpeed = kRpm + 800; },
         G::NotStationary},
        {"обучение выключено", [](LiveRecord&, LearningOptions&, bool& on) { on = false; },
         G::LearningOff},
        {"не выбран режим записи",
         [](LiveRecord&, LearningOptions& o, bool&) { o.target = WriteTarget::RamUoz; },
         G::NoWriteTarget},
        {"нет AFR ЭБУ", [](LiveRecord& r, LearningOptions&, bool&) { r.FsensorAirFuelRatio = 0; },
         G::NoTargetAfr},
        {"ЭБУ вне зоны ДК",
         [](LiveRecord&, LearningOptions& o, bool&) { o.source = LambdaSource::Dk; }, G::O2Zone},
        {"ЭБУ в зоне ДК",
         [](LiveRecord& r, LearningOptions& o, bool&) {
             o.source = LambdaSource::VoltDk;
             r.flag_zone_O2 = 1;
         },
         G::O2Zone},
        {"ДК не готов",
         [](LiveRecord& r, LearningOptions& o, bool&) {
             o.source = LambdaSource::VoltDk;
             r.flag_O2_gotov = 0;
         },
         G::O2NotReady},
        {"", [](LiveRecord&, LearningOptions& o, bool&) { o.source = LambdaSource::VoltDk; },
         G::Admitted},
    };
    for (const GateCase& c : cases) {
        options.hitsPerPoint = 100;
        engine.SetOptions(options);
        engine.SetEducations(true);
        for (int i = 0; i < 3; ++i)
            Process(At(kRpm, kKpa), 14.7);
        ASSERT_EQ(view.last.gate, LearningGate::Admitted) << c.text;
        LearningOptions changed = options;
        bool educations = true;
        LiveRecord r = At(kRpm, kKpa);
        c.edit(r, changed, educations);
        engine.SetOptions(changed);
        engine.SetEducations(educations);
        const long samples = engine.State().samples;
        Process(r, 14.7);
        EXPECT_EQ(view.last.gate, c.gate) << c.text;
        EXPECT_EQ(view.last.gateText, c.text);
        EXPECT_EQ(engine.State().samples - samples, c.gate == LearningGate::Admitted ? 1 : 0)
            << c.text;
    }
}

TEST_F(CycleTest, NoLambdaSourceIsNamed) {
    options.source = LambdaSource::None;
    engine.SetOptions(options);
    for (int i = 0; i < 3; ++i)
        Process(At(kRpm, kKpa), 14.7);
    EXPECT_EQ(view.last.gateText, "не выбран источник лямбды");
    EXPECT_EQ(engine.State().samples, 0);
}

TEST_F(CycleTest, WidebandThatStopsComingIsNamed) {
    for (int i = 0; i < 3; ++i)
        Process(At(kRpm, kKpa), 14.7);
    for (long i = 0; i < kStaleReadingRecords; ++i) {
        Process(At(kRpm, kKpa));
        ASSERT_EQ(view.last.gate, LearningGate::Admitted) << i;
    }
    Process(At(kRpm, kKpa));
    EXPECT_EQ(view.last.gateText, "нет данных ШДК");
}

TEST_F(CycleTest, SteadyRecordsAskedForAreCountedUp) {
    options.stationaryRecords = 3;
    options.hitsPerPoint = 100;
    engine.SetOptions(options);
    Process(At(kRpm + 2000, kKpa), 14.7);
    const char* expected[] = {"нет стационарности 0/3", "нет стационарности 1/3",
                              "нет стационарности 2/3", ""};
    for (const char* text : expected) {
        Process(At(kRpm, kKpa), 14.7);
        EXPECT_EQ(view.last.gateText, text);
    }
    EXPECT_EQ(engine.State().count_log, 1);
}

TEST_F(CycleTest, GateCountsAddUpToTheRecordsOfTheConnection) {
    const double coolants[] = {50, 50, 90, 90, 90, 90};
    for (double t : coolants) {
        LiveRecord r = At(kRpm, kKpa);
        r.FsensorCoolantTemp = t;
        Process(r, 14.7);
    }
    const GateCounts& n = view.last.gateCounts;
    EXPECT_EQ(n[static_cast<std::size_t>(LearningGate::Coolant)], 2);
    EXPECT_EQ(n[static_cast<std::size_t>(LearningGate::Admitted)], 4);
    EXPECT_EQ(std::accumulate(n.begin(), n.end(), 0L), 6);
    // A new connection counts from zero.
    ConnectionLearningState fresh;
    conn = fresh;
    Process(At(kRpm, kKpa), 14.7);
    EXPECT_EQ(std::accumulate(view.last.gateCounts.begin(), view.last.gateCounts.end(), 0L), 1);
}

}  // namespace
}  // namespace veltrano
