// The "ОШИБКИ ЭБУ" page: reads listed with their time and descriptions, the empty read, and
// the buttons against the simulated car.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "app/trouble_codes_panel.h"
#include "calibration/demo_image.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

// A read as the list shows it: "time|summary" then "code|description" per code.
QStringList Shown(const QTreeWidgetItem* read) {
    QStringList out{read->text(0) + "|" + read->text(2)};
    for (int i = 0; i < read->childCount(); ++i)
        out << read->child(i)->text(1) + "|" + read->child(i)->text(2);
    return out;
}

TEST_F(Window, TroubleCodeReadsAreListedNewestFirstWithTimeAndDescription) {
    TMainForm& w = Make();
    TroubleCodesPanel* panel = w.TroubleCodes();
    w.SetActivePage(TMainForm::kErrors);
    w.show();
    EXPECT_TRUE(w.Control<QPushButton>("ReadErrorsButton")->isVisible());
    EXPECT_EQ(w.Control<QPushButton>("ReadErrorsButton")->text(), "Прочитать коды");
    EXPECT_TRUE(w.Control<QPushButton>("ClearErrorsButton")->isVisible());

    struct Read {
        QTime at;
        std::vector<std::string> codes;
        bool afterClear;
        QStringList shown;
    } reads[] = {
        {QTime(9, 5, 3),
         {"P0130", "P0340"},
         false,
         {"09:05:03|Кодов: 2", "P0130|ДК 1: неисправность цепи",
          "P0340|Датчик фазы: неисправность цепи"}},
        {QTime(9, 6, 0),
         {"P0562", "P2BAD"},
         false,
         {"09:06:00|Кодов: 2", "P0562|Напряжение бортсети: низкий уровень",
          "P2BAD|Неизвестный код"}},
        {QTime(9, 7, 12), {}, true, {"09:07:12|После удаления: Ошибок нет"}},
        {QTime(9, 8, 0), {}, false, {"09:08:00|Ошибок нет"}},
    };
    for (const auto& r : reads) {
        if (r.afterClear)
            panel->NoteClearRequested();
        panel->AddRead(r.at, r.codes);
    }
    QTreeWidget* list = panel->List();
    ASSERT_EQ(list->topLevelItemCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Shown(list->topLevelItem(i)), reads[3 - i].shown);
    EXPECT_TRUE(list->topLevelItem(3)->isExpanded());

    // Without a connection the buttons change nothing.
    w.Control<QPushButton>("ReadErrorsButton")->click();
    w.Control<QPushButton>("ClearErrorsButton")->click();
    w.RefreshLive();
    EXPECT_EQ(list->topLevelItemCount(), 4);
}

}  // namespace
}  // namespace veltrano

#ifdef VELTRANO_HAVE_SIM
#include "sim/sim_car.h"

namespace veltrano {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

TEST_F(Window, ReadAndClearListTheCodesOfTheSimulatedEcu) {
    SimCarOptions carOptions;
    carOptions.image = MakeDemoImage(DefaultDemoOptions());
    SimCar rig(std::move(carOptions));
    std::string error;
    ASSERT_TRUE(rig.Start(&error)) << error;
    std::ofstream(options.settingsPath)
        << "[OBDII]\r\nPort=" << rig.EcuPort()
        << "\r\nBaudRate1nd=38400\r\nBaudRate2nd=10400\r\nDelayRate=10\r\n";
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    QSignalSpy done(&w, &TMainForm::connectFinished);
    w.Connect();
    ASSERT_TRUE(done.wait(20000));
    ASSERT_TRUE(done.front().front().toBool());
    QTreeWidget* list = w.TroubleCodes()->List();

    w.Control<QPushButton>("ReadErrorsButton")->click();
    ASSERT_TRUE(WaitFor([&] { return list->topLevelItemCount() == 1; }, 5000));
    const QTreeWidgetItem* read = list->topLevelItem(0);
    EXPECT_EQ(read->text(2), "Кодов: 2");
    EXPECT_TRUE(QTime::fromString(read->text(0), "HH:mm:ss").isValid());
    ASSERT_EQ(read->childCount(), 2);
    EXPECT_EQ(read->child(0)->text(1), "P0130");
    EXPECT_EQ(read->child(0)->text(2), "ДК 1: неисправность цепи");
    EXPECT_EQ(read->child(1)->text(1), "P0340");

    // Clearing reads the codes back: the list gains the empty read-back on top.
    w.Control<QPushButton>("ClearErrorsButton")->click();
    ASSERT_TRUE(WaitFor([&] { return list->topLevelItemCount() == 2; }, 5000));
    EXPECT_EQ(list->topLevelItem(0)->text(2), "После удаления: Ошибок нет");
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(list->topLevelItem(1)->childCount(), 2);
    w.Disconnect();
}

}  // namespace
}  // namespace veltrano
#endif
