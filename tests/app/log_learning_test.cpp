// Learning over a recorded log: the proposed table marks the cells that differ from the
// current one, and "Применить" takes it into the fuel table.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/log_actions.h"
#include "app/log_learning_dialog.h"
#include "calibration/demo_image.h"
#include "tests/app/log_fixture.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

TEST_F(Window, ProposalMarksChangedCellsAndApplyTakesTheTable) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    OfflineLearningResult result;
    {
        std::lock_guard<std::mutex> lock(w.GridsMutex());
        result.SG_PCN = w.Image().grids.SG_PCN;
    }
    for (int c = 1; c <= 16; ++c)
        for (int r = 1; r <= 16; ++r) {
            const std::size_t i = std::size_t((r - 1) * 16 + (c - 1));
            result.before[i] = result.after[i] = 128;
            result.SG_PCN.SetCell(c, r, "1");
        }
    const std::pair<QPoint, const char*> changed[] = {{{3, 2}, "1,1"}, {{5, 4}, "0,9"}};
    for (const auto& [cell, text] : changed) {
        result.after[std::size_t((cell.y() - 1) * 16 + (cell.x() - 1))] =
            text[2] == '1' ? 141 : 115;
        result.SG_PCN.SetCell(cell.x(), cell.y(), text);
    }
    result.records = 500;
    result.samples = 40;
    result.updates = 4;
    result.cellsChanged = 2;
    result.gates[std::size_t(LearningGate::Coolant)] = 300;
    result.standIns = {"нет столбца: используется замена"};

    LogLearningDialog dialog(result, LearningOptions{}, "drive.csv", &w);
    EXPECT_EQ(dialog.MarkedCells(), (QList<QPoint>{{3, 2}, {5, 4}}));
    EXPECT_EQ(dialog.Table()->item(1, 2)->text(), "1,1");
    EXPECT_EQ(dialog.Table()->item(1, 2)->toolTip(), "было 1");
    const QString summary = dialog.Summary()->text();
    EXPECT_TRUE(summary.contains("Записей: 500, выборок: 40, обновлений: 4, изменено ячеек: 2"));
    EXPECT_TRUE(summary.contains("ДТОЖ ниже 60: 300"));
    EXPECT_TRUE(summary.contains("нет столбца: используется замена"));
    ASSERT_TRUE(dialog.ApplyButton()->isEnabled());

    QObject::connect(&dialog, &LogLearningDialog::applyRequested, &w, &TMainForm::ApplyPcnTable);
    dialog.ApplyButton()->click();
    std::lock_guard<std::mutex> lock(w.GridsMutex());
    EXPECT_EQ(w.Image().grids.SG_PCN.Cell(3, 2), "1,1");
    EXPECT_EQ(w.Image().grids.SG_PCN.Cell(5, 4), "0,9");
    EXPECT_EQ(w.Image().grids.SG_PCN.Cell(1, 1), "1");
}

TEST_F(Window, LearningFromALogProposesATableFromItsRows) {
    TMainForm& w = Make();
    // Without an image there is no table to learn on.
    const auto path = WriteFixtureLog(dir / "Logs", "(10.12.26_10.00)", [] {
        std::vector<LogFixtureRow> rows;
        for (int i = 0; i < 60; ++i) {
            LogFixtureRow r;
            r.seconds = 36000 + i * 0.1;
            r.rpm = 2400;
            r.tps = 20;
            r.widebandAfr = 14.7 * 1.1;
            rows.push_back(r);
        }
        return rows;
    }());
    const QString file = QString::fromStdString(path.string());
    EXPECT_EQ(w.Logs().LearnFromLog(file), nullptr);
    EXPECT_EQ(Texts("warning"), std::vector<std::string>{"Ошибка|Не открыта прошивка"});

    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    LogLearningDialog* dialog = w.Logs().LearnFromLog(file);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Result().records, 60);
    EXPECT_EQ(dialog->MarkedCells().size(), dialog->Result().cellsChanged);
    dialog->close();
}

}  // namespace
}  // namespace veltrano
