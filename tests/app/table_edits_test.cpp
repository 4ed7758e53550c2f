// Working with tables in the window: undo and redo, typed values, selection maths, copy and
// paste, compare marks, revert and compare with another file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/learning_edits.h"
#include "app/table_edit_actions.h"
#include "app/value_entry.h"
#include "calibration/demo_image.h"
#include "common/text_forms.h"
#include "editing/compare_tip.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

class TableEdits : public Window {
  protected:
    TMainForm& Open() {
        TMainForm& w = Make();
        SetDecimalSeparator(',');
        EXPECT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    GridView* Focus(TMainForm& w, const char* name, int page, CellRect sel) {
        w.SetActivePage(page);
        GridView* view = w.Grid(name);
        view->SelectCells(sel);
        view->setFocus();
        return view;
    }
    QStringList MenuTexts(TMainForm& w, GridView* view) {
        QMenu menu;
        w.FillGridMenu(menu, view, false);
        QStringList out;
        for (QAction* a : menu.actions()) {
            if (!a->isSeparator())
                out << a->text();
        }
        return out;
    }
};

TEST_F(TableEdits, CtrlZUndoesAKeyStepCtrlYAndCtrlShiftZRedoIt) {
    TMainForm& w = Open();
    TextGrid& pcn = w.Image().grids.SG_PCN;
    const TextGrid::CellState before = pcn.State(2, 3);
    GridView* view = Focus(w, "SG_PCN", TMainForm::kPcn, {2, 3, 2, 3});
    QTest::keyClick(view, Qt::Key_Plus);
    const TextGrid::CellState after = pcn.State(2, 3);
    ASSERT_NE(after.text, before.text);
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: изменение клавишей");
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pcn.State(2, 3), before);
    EXPECT_EQ(w.EditActions().RedoAction()->text(), "Повторить: изменение клавишей");
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(pcn.State(2, 3), after);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(pcn.State(2, 3), after);
    EXPECT_TRUE(Texts("information").empty());  // no "клавиша не используется"
    const QStringList items = MenuTexts(w, view);
    EXPECT_TRUE(items.contains("Отменить: изменение клавишей"));
    EXPECT_TRUE(items.contains("Повторить"));
}

TEST_F(TableEdits, ATypedValueSetsEverySelectedCellEscCancelsAndNonNumbersAreRefused) {
    TMainForm& w = Open();
    TextGrid& bcn = w.Image().grids.SG_BCN;
    GridView* view = Focus(w, "SG_BCN", TMainForm::kBcn, {2, 2, 4, 3});
    const std::string untouched = bcn.Cell(5, 2);
    QTest::keyClick(view, Qt::Key_1);
    auto* editor = view->findChild<InPlaceEditor*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "1");
    QTest::keyClicks(editor, "28");
    QTest::keyClick(editor, Qt::Key_Return);
    for (int c = 2; c <= 4; ++c) {
        for (int r = 2; r <= 3; ++r)
            EXPECT_EQ(bcn.Cell(c, r), "128") << c << "," << r;
    }
    EXPECT_EQ(bcn.Cell(5, 2), untouched);
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: ввод значения");
    QApplication::processEvents();

    QTest::keyClick(view, Qt::Key_5);
    editor = view->findChild<InPlaceEditor*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(bcn.Cell(2, 2), "128");

    EXPECT_FALSE(w.Values().TypeValue(view, "1x"));
    ASSERT_FALSE(Texts("warning").empty());
    EXPECT_EQ(Texts("warning").back(), "Ошибка|«1x» не является числом");
    EXPECT_EQ(bcn.Cell(2, 2), "128");

    // Beyond the byte range: limited, with a note in the status bar.
    view = Focus(w, "SG_PCN", TMainForm::kPcn, {1, 1, 1, 1});
    EXPECT_TRUE(w.Values().TypeValue(view, "5"));
    EXPECT_EQ(w.Image().grids.SG_PCN.Cell(1, 1), "1,99");
    EXPECT_TRUE(w.findChild<QLabel*>("TableNote")->text().startsWith("Значение ограничено"));
}

TEST_F(TableEdits, SelectionMathsThroughItsDialog) {
    TMainForm& w = Open();
    TextGrid& uoz = w.Image().grids.SG_UOZ;
    GridView* view = Focus(w, "SG_UOZ", TMainForm::kUoz, {3, 4, 4, 4});
    uoz.SetCell(3, 4, "20");
    uoz.SetCell(4, 4, "10");
    const auto answer = [](const char* text) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, text] {
            if (auto* d = qobject_cast<ValueDialog*>(QApplication::activeModalWidget())) {
                d->Field()->setText(text);
                d->accept();
                timer->deleteLater();
            }
        });
        timer->start(10);
    };
    answer("2,5");
    w.Values().AskMaths(view, ValueOp::Add);
    EXPECT_EQ(uoz.Cell(3, 4), "22,5");
    EXPECT_EQ(uoz.Cell(4, 4), "12,5");
    answer("-20");
    w.Values().AskMaths(view, ValueOp::MultiplyPercent);
    EXPECT_EQ(uoz.Cell(3, 4), "18");
    EXPECT_EQ(uoz.Cell(4, 4), "10");
    answer("7");
    w.Values().AskMaths(view, ValueOp::Set);
    EXPECT_EQ(uoz.Cell(3, 4), "7");
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: установка значения");
    const QStringList items = MenuTexts(w, view);
    for (const char* item : {"Установить значение…", "Прибавить…", "Умножить на %…",
                             "Вернуть исходное", "Вернуть исходную таблицу", "Сравнить с файлом…",
                             "Копировать", "Вставить", "Интерполяция по оси Х"})
        EXPECT_TRUE(items.contains(item)) << item;
}

TEST_F(TableEdits, CtrlCAndCtrlVCopyAndPasteBlocksAndRefuseWhatDoesNotFit) {
    TMainForm& w = Open();
    TextGrid& afr = w.Image().grids.SG_AFR;
    GridView* view = Focus(w, "SG_AFR", TMainForm::kAfr, {1, 1, 2, 2});
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied.toStdString(), afr.Cell(1, 1) + "\t" + afr.Cell(2, 1) + "\n" + afr.Cell(1, 2) +
                                        "\t" + afr.Cell(2, 2) + "\n");
    view->SelectCells({10, 5, 10, 5});
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(afr.Cell(10, 5), afr.Cell(1, 1));
    EXPECT_EQ(afr.Cell(11, 6), afr.Cell(2, 2));
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: вставка");

    const std::string before = afr.Cell(16, 16);
    view->SelectCells({16, 16, 16, 16});
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);  // two columns past the right edge
    EXPECT_EQ(Texts("warning").back(), "Ошибка|Блок из буфера обмена не помещается в таблицу");
    QApplication::clipboard()->setText("15,3\tabc\n");
    view->SelectCells({1, 1, 1, 1});
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Texts("warning").back(), "Ошибка|«abc» не является числом");
    EXPECT_EQ(afr.Cell(16, 16), before);
    EXPECT_NE(afr.Cell(1, 1), "15,3");
}

TEST_F(TableEdits, ChangedCellsAreMarkedWithTheirOldValueAndRevertTakesThemBack) {
    TMainForm& w = Open();
    TextGrid& pcn = w.Image().grids.SG_PCN;
    GridView* view = Focus(w, "SG_PCN", TMainForm::kPcn, {2, 3, 3, 3});
    const std::string old = pcn.Cell(2, 3);
    ASSERT_NE(old, "0,9");
    ASSERT_TRUE(w.Values().TypeValue(view, "0,9"));
    EXPECT_TRUE(w.EditActions().Marked(TableId::PCN, 2, 3));
    EXPECT_FALSE(w.EditActions().Marked(TableId::PCN, 4, 3));
    const QModelIndex at = view->model()->index(2, 1);  // grid cell (2, 3)
    EXPECT_EQ(view->model()->data(at, Qt::ToolTipRole).toString().toStdString(),
              CompareTip(old, *ParseNumber(old, ','), "0,9", 0.9, ','));

    view->SelectCells({2, 3, 2, 3});
    w.EditActions().RevertSelection(view);
    EXPECT_EQ(pcn.Cell(2, 3), old);
    EXPECT_FALSE(w.EditActions().Marked(TableId::PCN, 2, 3));
    EXPECT_TRUE(w.EditActions().Marked(TableId::PCN, 3, 3));
    w.EditActions().RevertTable(view);
    EXPECT_TRUE(w.Edits().DifferingCells(TableId::PCN).empty());
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: возврат исходного");
}

TEST_F(TableEdits, CompareWithAFileOfTheSameVariantOnly) {
    TMainForm& w = Open();
    auto other = MakeDemoImage(DefaultDemoOptions());
    const std::size_t pcn = w.Image().layout.StartAddrPCN;
    other[pcn + 16 * 4 + 6] ^= 0x10;  // cell (7, 5)
    const auto same = (dir / "same.bin").string();
    std::ofstream(same, std::ios::binary)
        .write(reinterpret_cast<const char*>(other.data()), std::streamsize(other.size()));
    ASSERT_TRUE(w.EditActions().CompareWithFile(QString::fromStdString(same)));
    EXPECT_EQ(w.Edits().DifferingCells(TableId::PCN), (std::vector<CellRef>{{7, 5}}));
    EXPECT_TRUE(w.EditActions().Marked(TableId::PCN, 7, 5));

    DemoImageOptions o = DefaultDemoOptions();
    o.variant = "J7ES";
    const auto foreign = MakeDemoImage(o);
    const auto path = (dir / "other.bin").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(foreign.data()), std::streamsize(foreign.size()));
    EXPECT_FALSE(w.EditActions().CompareWithFile(QString::fromStdString(path)));
    ASSERT_FALSE(Texts("warning").empty());
    EXPECT_NE(Texts("warning").back().find("Прошивка другого варианта (J7ES)"), std::string::npos);
    EXPECT_TRUE(w.EditActions().Marked(TableId::PCN, 7, 5));  // still the first file
    w.EditActions().CompareWithOpened();
    EXPECT_FALSE(w.EditActions().Marked(TableId::PCN, 7, 5));
}

TEST_F(TableEdits, ALearningUpdateIsOneUndoableStep) {
    TMainForm& w = Open();
    LearningEdits edits(nullptr, w.Image(), w.Edits());
    const std::string before = w.Image().grids.SG_PCN.Cell(4, 4);
    {
        std::lock_guard<std::mutex> lock(w.GridsMutex());
        edits.UpdateStarting();
        w.Image().grids.SG_PCN.SetCell(4, 4, "1,5");
        w.Image().grids.SG_BCN.SetCell(4, 4, "100");
        edits.UpdateDone();
    }
    QApplication::processEvents();
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: обучение PCN");
    EXPECT_TRUE(w.EditActions().Marked(TableId::PCN, 4, 4));
    w.EditActions().Undo();
    EXPECT_EQ(w.Image().grids.SG_PCN.Cell(4, 4), before);
    EXPECT_FALSE(w.Edits().History().CanUndo());
}

TEST_F(TableEdits, TheHistorySurvivesASaveAndOpeningAnotherImageClearsIt) {
    TMainForm& w = Open();
    GridView* view = Focus(w, "SG_BCN", TMainForm::kBcn, {1, 1, 1, 1});
    QTest::keyClick(view, Qt::Key_Plus);
    EXPECT_TRUE(w.Edits().History().CanUndo());
    EXPECT_TRUE(w.HasUnsavedTableEdits());
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (name != nullptr && name->isVisible()) {
            name->setText(QString::fromStdString((dir / "saved.bin").string()));
            QTest::keyClick(name, Qt::Key_Return);
        }
    });
    answer.start(20);
    ASSERT_TRUE(w.SaveFirmware());
    answer.stop();
    EXPECT_FALSE(w.HasUnsavedTableEdits());
    EXPECT_EQ(w.EditActions().UndoAction()->text(), "Отменить: изменение клавишей");
    w.EditActions().Undo();
    EXPECT_TRUE(w.HasUnsavedTableEdits());
    w.EditActions().Redo();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    EXPECT_FALSE(w.Edits().History().CanUndo());
    EXPECT_FALSE(w.HasUnsavedTableEdits());
    EXPECT_FALSE(w.EditActions().UndoAction()->isEnabled());
}

TEST_F(TableEdits, ATableWhoseAddressIsUnknownTakesNoTypedValuePasteMathsOrRevert) {
    TMainForm& w = Make();
    SetDecimalSeparator(',');
    DemoImageOptions o = DefaultDemoOptions();
    o.variant = "J7SPT";
    o.dad = o.dadUozAfr = false;
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(o), "image.bin"));
    GridView* view = w.Grid("SG_PCN");
    view->SelectCells({1, 1, 2, 2});
    EXPECT_EQ(w.Values().OpenEditor(view, "1"), nullptr);
    EXPECT_FALSE(w.Values().TypeValue(view, "1"));
    EXPECT_FALSE(w.Values().ApplyMaths(view, ValueOp::Add, 1));
    EXPECT_FALSE(w.Values().Paste(view, "1\t1\n"));
    w.EditActions().RevertTable(view);
    EXPECT_TRUE(w.Image().grids.SG_PCN.Cell(1, 1).empty());
    EXPECT_FALSE(w.Edits().History().CanUndo());
    EXPECT_TRUE(Texts("warning").empty());
    QMenu menu;
    w.FillGridMenu(menu, view, false);
    for (QAction* a : menu.actions()) {
        const QString text = a->text();
        if (text == "Вставить" || text == "Прибавить…" || text == "Вернуть исходное") {
            EXPECT_FALSE(a->isEnabled()) << text.toStdString();
        }
    }
}

}  // namespace
}  // namespace veltrano

#ifdef VELTRANO_HAVE_SIM

#include <QElapsedTimer>
#include <QSignalSpy>

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

TEST_F(TableEdits, UndoAndRedoWhileConnectedWriteTheTableToTheEcu) {
    SimCarOptions carOptions;
    carOptions.image = MakeDemoImage(DefaultDemoOptions());
    SimCar car(std::move(carOptions));
    std::string error;
    ASSERT_TRUE(car.Start(&error)) << error;
    std::ofstream(options.settingsPath)
        << "[OBDII]\r\nPort=" << car.EcuPort()
        << "\r\nBaudRate1nd=38400\r\nBaudRate2nd=10400\r\nDelayRate=10\r\n[LC_1]\r\nPort="
        << car.LambdaPort() << "\r\nLamSensor=LC-1/2\r\n";
    TMainForm& w = Open();
    w.Control<QRadioButton>("RadioOlt")->setChecked(true);
    QSignalSpy done(&w, &TMainForm::connectFinished);
    w.Connect();
    ASSERT_TRUE(done.wait(20000));
    ASSERT_TRUE(done.front().front().toBool());

    const std::uint16_t at = w.Image().layout.StartAddrPCN + 16 * 2 + 1;  // cell (2, 3)
    const auto ecuByte = [&] { return car.Ecu().ReadMemory(at, 1).at(0); };
    const std::uint8_t original = ecuByte();
    GridView* view = Focus(w, "SG_PCN", TMainForm::kPcn, {2, 3, 2, 3});
    QTest::keyClick(view, Qt::Key_Plus);  // on line: the byte steps and is written
    ASSERT_TRUE(WaitFor([&] { return ecuByte() == original + 1; }, 10000));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return ecuByte() == original; }, 10000));
    EXPECT_EQ(w.Image().firmware.FFirmwareData[at], original);
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return ecuByte() == original + 1; }, 10000));
    w.Disconnect();
}

}  // namespace
}  // namespace veltrano
#endif
