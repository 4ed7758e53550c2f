// The window against the simulated car when things go wrong: an ECU that falls silent or
// does not confirm the stop, a wideband controller in error, and settings that must survive
// a session.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <fstream>
#include <functional>

#include "app/demo_mode.h"
#include "app/settings/ini_file.h"
#include "calibration/demo_image.h"
#include "tests/app/window_fixture.h"

#ifdef VELTRANO_HAVE_SIM
#include "sim/sim_car.h"

namespace veltrano {
namespace {

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

class Recovery : public Window {
  protected:
    void StartCar(const std::string& extraEducation = "") {
        SimCarOptions carOptions;
        carOptions.image = MakeDemoImage(DefaultDemoOptions());
        rig = std::make_unique<SimCar>(std::move(carOptions));
        std::string error;
        ASSERT_TRUE(rig->Start(&error)) << error;
        std::ofstream(options.settingsPath)
            << "[OBDII]\r\nPort=" << rig->EcuPort()
            << "\r\nBaudRate1nd=38400\r\nBaudRate2nd=10400\r\nDelayRate=10\r\n[LC_1]\r\nPort="
            << rig->LambdaPort() << "\r\nLamSensor=LC-1/2\r\n"
            << extraEducation;
    }
    // Opens the demo image and connects; true when the session is up.
    bool ConnectWindow(TMainForm& w) {
        if (!w.Image().layout.FirmwareLoaded &&
            !w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"))
            return false;
        QSignalSpy done(&w, &TMainForm::connectFinished);
        w.Connect();
        return done.wait(20000) && done.front().front().toBool();
    }
    void TearDown() override {
        window.reset();
        rig.reset();
        Window::TearDown();
    }
    std::unique_ptr<SimCar> rig;
};

TEST_F(Recovery, LearningKeysSurviveStartConnectAndExit) {
    StartCar("[EDUCATION]\r\nSTATIONAR_RT=7\r\nCOUNT_RT_REWRITE=30\r\n");
    TMainForm& w = Make();
    EXPECT_EQ(w.Settings().countRtRewrite, 30);
    EXPECT_EQ(w.Settings().stationarRt, 7);
    EXPECT_EQ(w.Control<QSpinBox>("RzSpinEdit4")->value(), 30);
    w.show();
    ASSERT_TRUE(ConnectWindow(w));
    EXPECT_EQ(w.Control<QSpinBox>("RzSpinEdit4")->value(), 30);
    w.ExitTool();
    const auto ini = IniFile::Load(options.settingsPath);
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadInteger("EDUCATION", "COUNT_RT_REWRITE", 0), 30);
    EXPECT_EQ(ini->ReadInteger("EDUCATION", "STATIONAR_RT", 0), 7);
    // Started again: still 30.
    window.reset();
    EXPECT_EQ(Make().Control<QSpinBox>("RzSpinEdit4")->value(), 30);
}

TEST_F(Recovery, SilentEcuIsShownAtOnceAndTheToolConnectsAgain) {
    StartCar();
    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(ConnectWindow(w));
    ASSERT_TRUE(WaitUntil([&] { return w.Panel("RPM_panel")->text() != "0"; }, 10000));
    const QColor liveText = w.Panel("RPM_panel")->palette().color(QPalette::WindowText);

    EcuFaults silent;
    silent.dropAll = true;
    rig->Ecu().SetFaults(silent);
    ASSERT_TRUE(WaitUntil([&] { return w.LinkLost(); }, 5000));
    EXPECT_EQ(w.StatusText("connection")->text(), "Связь потеряна");
    EXPECT_TRUE(w.StatusText("connection")->property("failure").toBool());
    EXPECT_NE(w.Panel("RPM_panel")->palette().color(QPalette::WindowText), liveText);

    // "Разорвать связь" ends the session here, without waiting for the silent ECU.
    QElapsedTimer clock;
    clock.start();
    w.Disconnect();
    EXPECT_LT(clock.elapsed(), 1000);  // a closing exchange would wait for answers
    EXPECT_FALSE(w.EcuConnected());
    EXPECT_EQ(w.StatusText("connection")->text(), "Отключено");
    EXPECT_FALSE(w.StatusText("connection")->property("failure").toBool());
    EXPECT_TRUE(Texts("plain").empty());
    EXPECT_TRUE(Texts("warning").empty());

    rig->Ecu().SetFaults({});
    ASSERT_TRUE(ConnectWindow(w));
    EXPECT_EQ(w.StatusText("connection")->text(), "Подключено");
    EXPECT_EQ(w.Panel("RPM_panel")->palette().color(QPalette::WindowText), liveText);
    w.Disconnect();
}

TEST_F(Recovery, ConnectAfterALostLinkEndsItFirst) {
    StartCar();
    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(ConnectWindow(w));
    EcuFaults silent;
    silent.dropAll = true;
    rig->Ecu().SetFaults(silent);
    ASSERT_TRUE(WaitUntil([&] { return w.LinkLost(); }, 5000));
    rig->Ecu().SetFaults({});
    ASSERT_TRUE(ConnectWindow(w));
    EXPECT_TRUE(w.EcuConnected());
    EXPECT_FALSE(w.LinkLost());
    w.Disconnect();
}

TEST_F(Recovery, UnconfirmedDisconnectEndsLocallyWithTheReason) {
    StartCar();
    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(ConnectWindow(w));
    EcuFaults noStop;
    noStop.dropAll = true;
    noStop.onlyService = 0x20;  // the diagnostic session's stop goes unanswered
    rig->Ecu().SetFaults(noStop);
    w.Disconnect();
    EXPECT_FALSE(w.EcuConnected());
    EXPECT_EQ(w.StatusText("connection")->text(), "Отключено");
    EXPECT_EQ(Texts("warning"), std::vector<std::string>({"Ошибка|Ошибка связи, Порт закрыт"}));
    EXPECT_TRUE(WaitUntil(
        [&] { return w.StatusText("notice")->text().contains("Ошибка связи, Порт закрыт"); },
        2000));
    rig->Ecu().SetFaults({});
    ASSERT_TRUE(ConnectWindow(w));
    EXPECT_TRUE(WaitUntil([&] { return w.StatusText("notice")->text().isEmpty(); }, 2000));
    w.Disconnect();
}

TEST_F(Recovery, WidebandTroubleShowsInTheLambdaPanel) {
    StartCar();
    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(ConnectWindow(w));
    ASSERT_TRUE(WaitUntil([&] { return w.StatusIcon("lambda")->property("on").toBool(); }, 5000));

    const auto troubleShown = [&](const QString& text) {
        return WaitUntil(
            [&] {
                return w.StatusText("lambda")->text() == text &&
                       w.StatusText("lambda")->property("failure").toBool();
            },
            5000);
    };
    LambdaFaults errors;
    errors.errorPackets = true;
    errors.errorCode = 9;
    rig->Lambda().SetFaults(errors);
    EXPECT_TRUE(troubleShown("LC1: Ошибка 9"));
    EXPECT_FALSE(w.StatusIcon("lambda")->property("on").toBool());

    LambdaFaults silence;
    silence.silence = true;
    rig->Lambda().SetFaults(silence);
    EXPECT_TRUE(troubleShown("LC1: нет данных"));

    rig->Lambda().SetFaults({});
    EXPECT_TRUE(WaitUntil(
        [&] {
            return w.StatusIcon("lambda")->property("on").toBool() &&
                   !w.StatusText("lambda")->property("failure").toBool();
        },
        5000));
    w.Disconnect();
}

TEST_F(Window, DemoRemovesItsFolder) {
    const fs::path demoDir = dir / "demo";
    {
        DemoMode demo;
        std::string error;
        ASSERT_TRUE(demo.Start(demoDir.string(), &error)) << error;
        EXPECT_TRUE(fs::exists(demo.SettingsPath()));
        EXPECT_EQ(DemoMode::Current(), &demo);
    }
    EXPECT_FALSE(fs::exists(demoDir));
    EXPECT_EQ(DemoMode::Current(), nullptr);
}

}  // namespace
}  // namespace veltrano
#endif
