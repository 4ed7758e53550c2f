// The "Настройка" tab names the gate that refused the newest record and counts every gate
// since connect.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTabWidget>

#include "app/learning_gate_panel.h"
#include "learning/learning_gate.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

TEST_F(Window, GatePanelNamesTheGateThatRefusedTheNewestRecord) {
    TMainForm& w = Make();
    w.show();
    LearningGatePanel* panel = w.GatePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(w.RightTabs()->widget(0)->isAncestorOf(panel));

    LearningOptions options;
    options.learnCoolant = 60;
    options.skipBelow2Tps = true;
    options.stationaryRecords = 5;
    struct Record {
        LearningGate gate;
        int steady;
        const char* shown;
    } records[] = {
        {LearningGate::Coolant, 0, "Не учится: ДТОЖ ниже 60"},
        {LearningGate::FuelCut, 0, "Не учится: отсечка топлива"},
        {LearningGate::Throttle, 0, "Не учится: дроссель < 2 %"},
        {LearningGate::Transient, 0, "Не учится: переходный режим"},
        {LearningGate::NotStationary, 3, "Не учится: нет стационарности 3/5"},
        {LearningGate::NoWideband, 0, "Не учится: нет данных ШДК"},
        {LearningGate::NoWriteTarget, 0, "Не учится: не выбран режим записи"},
        {LearningGate::FuelCut, 0, "Не учится: отсечка топлива"},
        {LearningGate::Admitted, 0, "Учится: запись принята"},
    };
    GateCounts counts{};
    for (const Record& r : records) {
        LearningShown shown;
        shown.gate = r.gate;
        shown.gateText = GateText(r.gate, options, r.steady);
        counts[std::size_t(r.gate)] += 1;
        shown.gateCounts = counts;
        w.View().RecordProcessed(shown);
        w.RefreshLive();
        EXPECT_EQ(panel->Reason()->text().toStdString(), r.shown);
        panel->Show(shown, options);  // the panel alone shows the same
        EXPECT_EQ(panel->Reason()->text().toStdString(), r.shown);
    }
    EXPECT_EQ(panel->Counts()->text().toStdString(),
              "не выбран режим записи: 1; ДТОЖ ниже 60: 1; отсечка топлива: 2; дроссель < 2 %: 1; "
              "переходный режим: 1; нет стационарности: 1; нет данных ШДК: 1; принято: 1");
    panel->Clear();
    EXPECT_EQ(panel->Counts()->text(), "");
}

}  // namespace
}  // namespace veltrano
