// The window driven as a user would, on the offscreen platform.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/settings/ini_file.h"
#include "app/settings_dialog.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"
#include "learning/learning_options.h"
#include "link/obdii.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

QStringList TabTitles(QTabWidget* tabs) {
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

TEST_F(Window, StartsWithItsCaptionLayoutAndStatus) {
    TMainForm& w = Make();
    EXPECT_EQ(w.windowTitle(), "Veltrano_ v4.0.1");
    EXPECT_EQ(w.size(), QSize(1024, 570));
    EXPECT_EQ(TabTitles(w.LeftTabs()), QStringList({"BCN", "PCN", "AFR", "UOZ", "RT", "DATA",
                                                    "DIAG", "ОШИБКИ ЭБУ", "ШДК Коэфф"}));
    EXPECT_EQ(TabTitles(w.RightTabs()), QStringList({"Настройка"}));
    EXPECT_EQ(w.RightTabs()->width(), 318);
    const char* hints[] = {
        "Открыть Прошивку", "Сохранить Прошивку", "Настройки", "Установить связь",
        "Разорвать связь",  "Начать обучение",    "Выход"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(w.ToolAction(i)->toolTip(), hints[i]);
    const std::pair<const char*, const char*> status[] = {
        {"connection", "Отключено"},    {"ram", "RAM: OFF"}, {"lambda", "LC1:"},
        {"learning", "Обучение: откл"}, {"delay", ""},       {"pressure", "DAD_RT:"},
        {"stoichiometry", "Stoich:"}};
    for (const auto& [name, caption] : status)
        EXPECT_EQ(w.StatusText(name)->text(), caption);
    // The short forms carry the long ones as tooltips.
    EXPECT_EQ(w.StatusText("ram")->toolTip(), "Swith To Ram : OFF");
    EXPECT_EQ(w.StatusText("stoichiometry")->toolTip(), "Stochiometric LC-1:");
    EXPECT_TRUE(w.StatusText("lambda")->font().bold());
    EXPECT_EQ(w.Progress()->value(), 0);
    EXPECT_FALSE(w.Control<QRadioButton>("RadioOlt")->isEnabled());
    EXPECT_TRUE(w.Control<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_TRUE(w.Control<QCheckBox>("CheckBox7")->isChecked());
    EXPECT_TRUE(w.Control<QCheckBox>("CheckBox2")->isHidden());
    const std::tuple<const char*, int, int, int> spins[] = {
        {"RzSpinEdit1", 10, 500, 50}, {"RzSpinEdit3", 50, 120, 60}, {"RzSpinEdit4", 10, 100, 10}};
    for (const auto& [name, min, max, value] : spins) {
        QSpinBox* s = w.Control<QSpinBox>(name);
        EXPECT_EQ(s->minimum(), min) << name;
        EXPECT_EQ(s->maximum(), max) << name;
        EXPECT_EQ(s->value(), value) << name;
    }
    EXPECT_EQ(w.Panel("RPM_panel")->text(), "0");
    EXPECT_EQ(w.Image().grids.SG_UOZ.Cell(1, 17), "3");
    EXPECT_EQ(w.Image().grids.RzStringGrid4.Cell(38, 0), "150");
}

TEST_F(Window, OpeningAnImageFillsGridsAndEnablesTheModes) {
    TMainForm& w = Make();
    DemoImageOptions o = DefaultDemoOptions();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(o), "demo.bin"));
    EXPECT_EQ(w.windowTitle(), "Veltrano_ v4.0.1    demo.bin");
    EXPECT_TRUE(w.Image().layout.FirmwareLoaded);
    const char sep = DecimalSeparator();
    EXPECT_EQ(w.Grid("SG_PCN")->model()->data(w.Grid("SG_PCN")->model()->index(0, 0)).toString(),
              QString::fromStdString(FormatMask("##0.##", DemoPcnByte(1, 1) / 128.0, sep)));
    EXPECT_FALSE(w.Grid("SG_PCN")
                     ->model()
                     ->headerData(0, Qt::Horizontal, Qt::DisplayRole)
                     .toString()
                     .isEmpty());
    for (const char* name : {"RadioOlt", "RadioRam", "RadioRamUoz", "RadioDK", "RadioVoltDk",
                             "RadioLAM_SHDK", "RadioButton2"})
        EXPECT_TRUE(w.Control<QRadioButton>(name)->isEnabled()) << name;
    EXPECT_EQ(TabTitles(w.LeftTabs()).contains("PCN - TRT"), w.Image().grids.ShowPcnTrtTab);
    EXPECT_EQ(w.Engine().PaintState().LearnHits[5][5], 1);
}

TEST_F(Window, ConnectWithoutImageWarnsButStampsTheLog) {
    TMainForm& w = Make();
    w.Connect();
    EXPECT_EQ(Texts("warning"), std::vector<std::string>({"Ошибка|Не открыта прошивка"}));
    EXPECT_FALSE(w.LogTimeName().empty());
    EXPECT_TRUE(fs::is_directory(dir / "Logs"));
    EXPECT_FALSE(w.EcuConnected());
    // Disconnect and clearing codes without a connection do nothing.
    w.Disconnect();
    w.ClearTroubleCodes();
    EXPECT_EQ(Texts("warning").size(), 1u);
}

TEST_F(Window, ConnectToAMissingPortFails) {
    std::ofstream(options.settingsPath)
        << "[OBDII]\r\nPort=" << (dir / "ttyNONE").string() << "\r\n";
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    QSignalSpy done(&w, &TMainForm::connectFinished);
    w.Connect();
    ASSERT_TRUE(done.wait(10000));
    EXPECT_FALSE(done.front().front().toBool());
    EXPECT_FALSE(w.EcuConnected());
    const auto warnings = Texts("warning");
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.back(), "Ошибка|Соединение не установлено");
    EXPECT_EQ(w.StatusText("connection")->text(), "Отключено");
}

TEST_F(Window, LearningSwitchTogglesCaptionAndHint) {
    TMainForm& w = Make();
    w.ToggleLearning();
    EXPECT_TRUE(w.Educations());
    EXPECT_EQ(w.StatusText("learning")->text(), "Обучение: вкл");
    EXPECT_EQ(w.ToolAction(5)->toolTip(), "Остановить обучение");
    EXPECT_TRUE(w.StatusIcon("learning")->property("on").toBool());
    w.ToggleLearning();
    EXPECT_FALSE(w.Educations());
    EXPECT_EQ(w.StatusText("learning")->text(), "Обучение: откл");
    EXPECT_EQ(w.ToolAction(5)->toolTip(), "Начать обучение");
}

TEST_F(Window, ProgressShowsWholePercents) {
    TMainForm& w = Make();
    for (auto [intake, max, percent] : {std::tuple{3, 8, 37}, {0, 8, 0}, {8, 8, 100}, {1, 0, 0}}) {
        w.Reload_status(intake, max);
        EXPECT_EQ(w.Progress()->value(), percent);
    }
}

TEST_F(Window, SpinBoxesWriteTheirKeysBack) {
    TMainForm& w = Make();
    w.Control<QSpinBox>("RzSpinEdit1")->setValue(120);
    w.Control<QSpinBox>("RzSpinEdit4")->setValue(30);
    w.Control<QSpinBox>("RzSpinEdit3")->setValue(70);
    const auto ini = IniFile::Load(options.settingsPath);
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadInteger("OBDII", "DelayRate", 0), 120);
    EXPECT_EQ(ini->ReadInteger("EDUCATION", "COUNT_RT_REWRITE", 0), 30);
}

TEST_F(Window, KeysStepTheSelectionAndMenusTransform) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    const char sep = DecimalSeparator();
    TextGrid& pcn = w.Image().grids.SG_PCN;
    pcn.SetCell(2, 3, "1");
    GridView* view = w.Grid("SG_PCN");
    view->SelectCells({2, 3, 2, 3});
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(view, Qt::Key_Plus, Qt::NoModifier);
    EXPECT_EQ(pcn.Cell(2, 3), GeneralText(1.03, sep));
    QTest::keyClicks(view, "d");  // the minus group's Latin twin
    EXPECT_EQ(pcn.Cell(2, 3), GeneralText(1.02, sep));

    w.SetActivePage(TMainForm::kBcn);
    TextGrid& bcn = w.Image().grids.SG_BCN;
    const char* row[] = {"1", "9", "9", "9", "5"};
    for (int c = 1; c <= 5; ++c)
        bcn.SetCell(c, 4, row[c - 1]);
    w.Grid("SG_BCN")->SelectCells({1, 4, 5, 4});
    w.Transform(TransformKind::X);
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(bcn.Cell(c, 4), std::to_string(c)) << c;
}

TEST_F(Window, CellsAreColouredOnlyWhileConnected) {
    TMainForm& w = Make();
    PaintState& p = w.Paint();
    p.op.RPM_RT = 3;
    p.op.LoadIndex = 4;
    GridView* pcn = w.Grid("SG_PCN");
    ASSERT_TRUE(pcn->paintRule);
    EXPECT_FALSE(pcn->paintRule(3, 4));
    p.EcuConnected = true;
    const auto paint = pcn->paintRule(3, 4);
    ASSERT_TRUE(paint);
    EXPECT_EQ(paint->fill, QColor(51, 153, 0));
    p.EcuConnected = false;
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

TEST_F(Window, UnusedKeyInPcnShowsTheKeyAfterReleasingTheGrids) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    w.Grid("SG_PCN")->SelectCells({1, 1, 1, 1});
    QTest::keyClick(w.Grid("SG_PCN"), Qt::Key_Return);
    const auto boxes = Texts("information");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "|клавиша не используется");
    EXPECT_EQ(boxes[1], "|13");
    EXPECT_TRUE(w.GridsMutex().try_lock());
    w.GridsMutex().unlock();
}

TEST_F(Window, ShortImageIsRefusedAndKeepsTheOpenOne) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    const std::string cell = w.Image().grids.SG_PCN.Cell(1, 1);
    EXPECT_FALSE(w.OpenFirmwareBytes(std::vector<std::uint8_t>(65535, 0), "short.bin"));
    EXPECT_EQ(Texts("warning").back(), "Ошибка|Неверный размер прошивки");
    EXPECT_EQ(w.Image().grids.SG_PCN.Cell(1, 1), cell);
    EXPECT_EQ(w.windowTitle(), "Veltrano_ v4.0.1    demo.bin");
}

class Dialog : public Window {};

TEST_F(Dialog, FirstOkWritesEightKeysAndApplyDisablesItself) {
    App();
    AppSettings values;
    TFormSettings d(values, options.settingsPath, nullptr, nullptr, {"/dev/demo0", "/dev/demo1"});
    EXPECT_EQ(d.windowTitle(), "Настройки");
    EXPECT_EQ(d.pages->currentIndex(), 1);
    EXPECT_EQ(d.pages->tabText(0), "Подключение");
    EXPECT_EQ(d.pages->tabText(1), "Обучение");
    EXPECT_EQ(d.cbBaudRate->currentText(), "10400");
    EXPECT_EQ(d.edDelay->value(), 150);
    EXPECT_EQ(d.CBLamda->currentText(), "LC-1/2");
    EXPECT_EQ(d.RzSpinEdit3->value(), 100);
    EXPECT_EQ(d.RzSpinEdit5->minimum(), -40);
    EXPECT_EQ(d.RzSpinEdit5->value(), 80);
    EXPECT_TRUE(d.btnApply->isEnabled());
    // "COM1" is not among the ports: the last one stays selected.
    EXPECT_EQ(d.cbPortList->currentText(), "/dev/demo1");
    int saves = 0;
    QObject::connect(&d, &TFormSettings::saved, [&] { ++saves; });
    d.btnApplyClick();
    EXPECT_FALSE(d.btnApply->isEnabled());
    d.btnOKClick();
    EXPECT_EQ(saves, 2);
    const auto ini = IniFile::Load(options.settingsPath);
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadString("OBDII", "Port", ""), "/dev/demo1");
    EXPECT_EQ(ini->ReadInteger("OBDII", "BaudRate1nd", 0), 10400);
    EXPECT_EQ(ini->ReadInteger("OBDII", "BaudRate2nd", 0), 10400);
    EXPECT_EQ(ini->ReadInteger("OBDII", "DelayRate", 0), 150);
    EXPECT_EQ(ini->ReadString("LC_1", "Port", ""), "/dev/demo1");
    EXPECT_EQ(ini->ReadString("LC_1", "LamSensor", ""), "LC-1/2");
    EXPECT_EQ(ini->ReadInteger("EDUCATION", "STATIONAR_RT", -1), 0);
    EXPECT_EQ(ini->ReadInteger("EDUCATION", "COUNT_RT_REWRITE", -1), 0);
}

TEST_F(Dialog, ReadsTheFileIntoItsFields) {
    App();
    for (auto [baud, shown] : {std::pair{"38400", "38400"}, {"19200", "10400"}}) {
        std::ofstream(options.settingsPath, std::ios::trunc)
            << "[OBDII]\r\nPort=/dev/demo0\r\nBaudRate1nd=" << baud
            << "\r\nDelayRate=75\r\n[EDUCATION]\r\nSTATIONAR_RT=7\r\nCOUNT_RT_REWRITE=33\r\n";
        AppSettings values;
        TFormSettings d(values, options.settingsPath, nullptr, nullptr, {"/dev/demo0", "/dev/x"});
        EXPECT_EQ(d.cbBaudRate->currentText(), shown);
        EXPECT_EQ(d.edDelay->value(), 75);
        EXPECT_EQ(d.RzSpinEdit4->value(), 7);
        EXPECT_EQ(d.RzSpinEdit2->value(), 33);
        EXPECT_EQ(d.cbPortList->currentText(), "/dev/demo0");
        EXPECT_EQ(values.countRtRewrite, 33);
    }
}

TEST_F(Dialog, AdapterCheckOnAMissingPortReportsNoAdapter) {
    App();
    RecordedMessages messages;
    AppSettings values;
    TFormSettings d(values, options.settingsPath, nullptr, &messages,
                    {QString::fromStdString((dir / "ttyNONE").string())});
    EXPECT_TRUE(d.btnCheckConnection->isEnabled());
    d.btnCheckConnectionClick();
    ASSERT_FALSE(messages.entries.empty());
    EXPECT_EQ(messages.entries.back().caption, "Проверка соединения");
    EXPECT_EQ(messages.entries.back().text.rfind("Адаптер не обнаружен\n", 0), 0u);
    EXPECT_EQ(messages.entries.back().kind, "warning");
}

}  // namespace
}  // namespace veltrano

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

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

TEST_F(Window, ConnectsToTheSimulatedCarShowsLiveDataAndDisconnects) {
    SimCarOptions carOptions;
    carOptions.image = MakeDemoImage(DefaultDemoOptions());
    SimCar rig(std::move(carOptions));
    std::string error;
    ASSERT_TRUE(rig.Start(&error)) << error;
    std::ofstream(options.settingsPath)
        << "[OBDII]\r\nPort=" << rig.EcuPort()
        << "\r\nBaudRate1nd=38400\r\nBaudRate2nd=10400\r\nDelayRate=10\r\n[LC_1]\r\nPort="
        << rig.LambdaPort() << "\r\nLamSensor=LC-1/2\r\n";

    TMainForm& w = Make();
    w.show();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    QSignalSpy done(&w, &TMainForm::connectFinished);
    w.Connect();
    w.Connect();  // a second request while connecting is ignored
    ASSERT_TRUE(done.wait(20000));
    ASSERT_TRUE(done.front().front().toBool())
        << (Texts("warning").empty() ? "" : Texts("warning").back());
    EXPECT_TRUE(w.EcuConnected());
    EXPECT_EQ(w.StatusText("connection")->text(), "Подключено");
    EXPECT_EQ(w.Control<QSpinBox>("RzSpinEdit1")->value(), 10);
    w.Connect();  // ignored while connected
    EXPECT_EQ(done.size(), 1);

    // The event loop's longest pause while records stream in.
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.elapsed(), stall = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        stall = std::max(stall, clock.elapsed() - last);
        last = clock.elapsed();
    });
    probe.start(5);
    ASSERT_TRUE(WaitUntil([&] { return w.Panel("RPM_panel")->text() != "0"; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return w.Paint().op.RPM_RT > 0; }, 5000));
    const OperatingCell op = w.Paint().op;
    const auto paint = w.Grid("SG_PCN")->paintRule(op.RPM_RT, op.LoadIndex);
    ASSERT_TRUE(paint);
    EXPECT_TRUE(paint->fill == QColor(51, 153, 0) || paint->fill == QColor(128, 0, 128));
    EXPECT_TRUE(
        WaitUntil([&] { return w.StatusText("delay")->text().startsWith("TimeRead: "); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return w.Panel("RzPanel30")->text() != "0"; }, 5000));

    const fs::path logs = dir / "Logs";
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(logs) && !fs::is_empty(logs); }, 5000));
    const fs::path csv = fs::directory_iterator(logs)->path();
    const auto size1 = fs::file_size(csv);
    QTest::qWait(3000);
    EXPECT_GT(fs::file_size(csv), size1);
    probe.stop();

    w.ToggleLearning();
    EXPECT_EQ(w.StatusText("learning")->text(), "Обучение: вкл");
    w.Disconnect();
    EXPECT_FALSE(w.EcuConnected());
    EXPECT_EQ(w.StatusText("connection")->text(), "Отключено");
    EXPECT_FALSE(w.Grid("SG_PCN")->paintRule(op.RPM_RT, op.LoadIndex));
    EXPECT_NE(w.Panel("RPM_panel")->text(), "0");  // panels keep their last texts

    // A reconnect takes the ports again (the reader was stopped), then "Выход" disconnects.
    done.clear();
    w.Connect();
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(done.front().front().toBool());
    EXPECT_TRUE(WaitUntil([&] { return w.StatusIcon("lambda")->property("on").toBool(); }, 5000));
    // The cycle's last record, with its reading, still waits for the window at the stop.
    LearningShown lastRecord;
    lastRecord.reading = LambdaReading{};
    w.View().RecordProcessed(lastRecord);
    w.ExitTool();
    EXPECT_FALSE(w.EcuConnected());
    EXPECT_FALSE(w.StatusIcon("lambda")->property("on").toBool());

    const auto& lat = w.Latencies();
    std::printf("records shown %zu, latency p50 %.1f ms, p99 %.1f ms, longest stall %lld ms\n",
                lat.size(), Percentile(lat, 0.5), Percentile(lat, 0.99), (long long)stall);
    EXPECT_LT(Percentile(lat, 0.99), 100.0);
    EXPECT_LT(stall, 250);
}

}  // namespace
}  // namespace veltrano
#endif

namespace veltrano {
namespace {

TEST_F(Window, FirstRunWelcomesAndOpensTheSettingsDialog) {
    App();
    options.showFirstRunDialog = true;
    QStringList seen;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->windowTitle() + "|" + box->text();
            box->accept();
        } else if (auto* dialog = qobject_cast<TFormSettings*>(modal)) {
            seen << dialog->windowTitle();
            dialog->btnOKClick();
        }
    });
    answer.start(20);
    window = std::make_unique<TMainForm>(options);
    answer.stop();
    EXPECT_EQ(seen, QStringList({"Добро пожаловать|Это первый запуск программы. Необходимо "
                                 "настроить соединение с адаптером",
                                 "Настройки"}));
    const auto ini = IniFile::Load(options.settingsPath);
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadInteger("OBDII", "BaudRate2nd", 0), 10400);
    EXPECT_EQ(window->Settings().delayRate, 150);
    // Started again, the file is there: no welcome.
    window.reset();
    seen.clear();
    answer.start(20);
    window = std::make_unique<TMainForm>(options);
    answer.stop();
    EXPECT_TRUE(seen.isEmpty());
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

TEST_F(Window, TuningControlsReachTheLearningEngine) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    w.Control<QRadioButton>("RadioRam")->setChecked(true);
    w.Control<QRadioButton>("RadioLAM_SHDK")->setChecked(true);
    w.Control<QCheckBox>("CheckBox1")->setChecked(true);
    w.Control<QCheckBox>("CheckBox7")->setChecked(false);
    w.Control<QSpinBox>("RzSpinEdit3")->setValue(75);
    w.ToggleLearning();
    const LearningOptions o = w.Engine().Options();
    EXPECT_EQ(o.target, WriteTarget::RamPcn);
    EXPECT_EQ(o.source, LambdaSource::Shdk);
    EXPECT_TRUE(o.rememberMovement);
    EXPECT_FALSE(o.skipBelow2Tps);
    EXPECT_EQ(o.learnCoolant, 75);
    EXPECT_TRUE(w.Engine().Educations());
    // "Сброс обучения" clears the hit counters the open set to 1.
    EXPECT_EQ(w.Engine().PaintState().LearnHits[3][3], 1);
    w.Control<QPushButton>("Button6")->click();
    EXPECT_EQ(w.Engine().PaintState().LearnHits[3][3], 0);
}

TEST_F(Window, GeneratorFillsTheIgnitionTable) {
    TMainForm& w = Make();
    w.GenerateUoz();  // no image: nothing happens
    EXPECT_TRUE(w.Image().grids.SG_UOZ.Cell(1, 1).empty());
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    TextGrid& uoz = w.Image().grids.SG_UOZ;
    EXPECT_EQ(uoz.Cell(1, 17), "3");  // the base curve survives the open
    uoz.SetCell(1, 1, "-");
    w.GenerateUoz();
    EXPECT_NE(uoz.Cell(1, 1), "-");
    EXPECT_TRUE(ParseNumber(uoz.Cell(1, 1)).has_value());
}

TEST_F(Window, LogFailureStaysInTheStatusBarUntilTheLogWritesAgain) {
    TMainForm& w = Make();
    w.View().LogStatus("Журнал не записан: Logs/x.csv");
    EXPECT_TRUE(WaitUntil(
        [&] { return w.StatusText("notice")->text() == "Журнал не записан: Logs/x.csv"; }, 2000));
    w.View().LogStatus("");
    EXPECT_TRUE(WaitUntil([&] { return w.StatusText("notice")->text().isEmpty(); }, 2000));
}

}  // namespace
}  // namespace veltrano
