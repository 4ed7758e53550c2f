// A replay drives the live view in place of a connection, with no port opened.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <fstream>

#include "analysis/replay_source.h"
#include "app/log_actions.h"
#include "app/log_replay.h"
#include "calibration/demo_image.h"
#include "tests/app/log_fixture.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Forty rows, a tenth of a second apart, climbing from 1000 to 4900 rpm.
std::vector<LogFixtureRow> Climb() {
    std::vector<LogFixtureRow> rows;
    for (int i = 0; i < 40; ++i) {
        LogFixtureRow r;
        r.seconds = 36000 + i * 0.1;
        r.rpm = 1000 + 100 * i;
        r.tps = 10 + i;
        r.coolant = 85;
        rows.push_back(r);
    }
    return rows;
}

TEST_F(Window, ReplayDrivesPanelsCellAndStatusWithoutOpeningAPort) {
    // The settings name a port that does not exist: opening it would fail loudly.
    std::ofstream(options.settingsPath) << "[OBDII]\r\nPort=/dev/veltrano-no-such-port\r\n";
    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    const auto path = WriteFixtureLog(dir / "Logs", "(10.12.26_10.00)", Climb());
    w.ToggleLearning();
    ASSERT_EQ(w.StatusText("learning")->text(), "Обучение: вкл");
    LogReplay* replay = w.Logs().StartReplay(QString::fromStdString(path.string()));
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(w.StatusText("connection")->text(), "Воспроизведение");
    EXPECT_EQ(w.StatusText("learning")->text(), "Обучение: откл");  // a replay never learns
    EXPECT_TRUE(w.StatusIcon("connection")->property("on").toBool());
    EXPECT_FALSE(w.EcuConnected());
    EXPECT_EQ(w.Link(), nullptr);
    EXPECT_EQ(replay->Slider()->maximum(), 39);

    // Paused at the start: nothing moves.
    QTest::qWait(100);
    EXPECT_EQ(w.Panel("RPM_panel")->text(), "0");

    replay->SetSpeed(16);
    replay->PlayButton()->click();
    EXPECT_EQ(replay->PlayButton()->text(), "Пауза");
    ASSERT_TRUE(WaitFor([&] { return replay->Source().Finished(); }, 3000));
    ASSERT_TRUE(WaitFor([&] { return w.Panel("RPM_panel")->text() == "4900"; }, 2000))
        << w.Panel("RPM_panel")->text().toStdString();
    EXPECT_EQ(w.Panel("TPS_panel")->text(), "49");
    EXPECT_EQ(w.Panel("TWAT_PANEL")->text(), "85");
    // The current cell follows the rows, and the grids colour it as on-line.
    ASSERT_TRUE(WaitFor([&] { return w.Paint().op.RPM_RT > 0; }, 2000));
    const OperatingCell op = w.Paint().op;
    EXPECT_TRUE(w.Grid("SG_PCN")->paintRule(op.RPM_RT, op.LoadIndex).has_value());
    EXPECT_EQ(w.Link(), nullptr);

    // Seeking back and a connect request both behave: the connect ends the replay first.
    replay->Source().Pause();
    replay->Slider()->setValue(5);
    emit replay->Slider()->sliderMoved(5);
    EXPECT_EQ(replay->Source().Position(), 5u);
    w.Logs().StopReplay();
    EXPECT_EQ(w.Logs().Replay(), nullptr);
    EXPECT_EQ(w.StatusText("connection")->text(), "Отключено");
    EXPECT_EQ(w.StatusText("learning")->text(), "Обучение: вкл");
    EXPECT_FALSE(w.Paint().EcuConnected);
    EXPECT_FALSE(w.Grid("SG_PCN")->paintRule(op.RPM_RT, op.LoadIndex).has_value());
}

TEST_F(Window, ReplayRefusesANonLogAndLeavesTheWindowAlone) {
    TMainForm& w = Make();
    const fs::path notes = dir / "notes.txt";
    std::ofstream(notes) << "not a log\r\n";
    EXPECT_EQ(w.Logs().StartReplay(QString::fromStdString(notes.string())), nullptr);
    EXPECT_EQ(Texts("warning").size(), 1u);
    EXPECT_EQ(w.StatusText("connection")->text(), "Отключено");
}

}  // namespace
}  // namespace veltrano
