// Questions and dialogs: the unsaved-edits prompt, the settings dialog, the adapter check's
// reason, the first run, and Qt's dialogs in Russian.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFont>
#include <QHeaderView>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <cerrno>
#include <fstream>

#include "app/file_dialogs.h"
#include "app/port_access.h"
#include "app/settings_dialog.h"
#include "app/translations.h"
#include "calibration/demo_image.h"
#include "tests/app/window_fixture.h"

namespace veltrano {
namespace {

using Answer = QtMessages::Answer;

class Prompt : public Window {
  protected:
    TMainForm& Edited() {
        TMainForm& w = Make();
        EXPECT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
        w.show();
        EXPECT_FALSE(w.HasUnsavedTableEdits());
        std::lock_guard<std::mutex> lock(w.GridsMutex());
        TextGrid& pcn = w.Image().grids.SG_PCN;
        pcn.SetCell(4, 4, pcn.Cell(4, 4) + "1");
        return w;
    }
    std::vector<std::string> Questions() const { return Texts("question"); }
};

TEST_F(Prompt, ClosingWithUnsavedEditsAsks) {
    const struct {
        Answer answer;
        bool closed;
    } cases[] = {{Answer::No, true}, {Answer::Cancel, false}};
    for (const auto& c : cases) {
        TMainForm& w = Edited();
        EXPECT_TRUE(w.HasUnsavedTableEdits());
        w.Messages().SetScriptedAnswer(c.answer);
        w.close();
        EXPECT_EQ(w.isVisible(), !c.closed) << int(c.answer);
        EXPECT_EQ(Questions(),
                  std::vector<std::string>({"Veltrano_ v4.0.1|Сохранить изменения в прошивке?"}));
        window.reset();
    }
}

TEST_F(Prompt, NothingToSaveClosesWithoutAsking) {
    TMainForm& w = Make();
    ASSERT_TRUE(w.OpenFirmwareBytes(MakeDemoImage(DefaultDemoOptions()), "demo.bin"));
    w.show();
    w.ExitTool();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(Questions().empty());
}

TEST_F(Prompt, ExitCancelledKeepsTheWindow) {
    TMainForm& w = Edited();
    w.Messages().SetScriptedAnswer(Answer::Cancel);
    w.ExitTool();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(Questions().size(), 1u);
}

// "Да" runs the save; a save dialog the user cancels keeps the window and the edits.
TEST_F(Prompt, YesRunsTheSaveAndACancelledSaveKeepsTheWindow) {
    TMainForm& w = Edited();
    w.Messages().SetScriptedAnswer(Answer::Yes);
    bool saveDialogShown = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(top);
            if (dialog && dialog->isVisible()) {
                saveDialogShown = true;
                dialog->reject();
            }
        }
    });
    answer.start(20);
    w.close();
    answer.stop();
    EXPECT_TRUE(saveDialogShown);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.HasUnsavedTableEdits());
}

TEST_F(Prompt, OpeningAnotherImageAsksFirst) {
    TMainForm& w = Edited();
    w.Messages().SetScriptedAnswer(Answer::Cancel);
    bool fileDialogShown = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            fileDialogShown = true;
            dialog->reject();
        }
    });
    guard.start(20);
    w.ToolAction(0)->trigger();
    guard.stop();
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_FALSE(fileDialogShown);
    EXPECT_TRUE(w.HasUnsavedTableEdits());
}

// Where Qt draws the file dialog itself, sizes, types, dates and places show whole.
TEST_F(Prompt, FileDialogColumnsShowTheirTextWhole) {
    std::ofstream(dir / "firmware.bin") << std::string(65536, '\0');
    fs::create_directories(dir / "Logs");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QFont large = dialog.font();  // a larger font than the columns' first widths allow for
    large.setPointSizeF(large.pointSizeF() * 1.5);
    dialog.setFont(large);
    dialog.setDirectory(QString::fromStdString(dir.string()));
    dialog.resize(880, 460);
    dialog.show();
    FitFileDialog(dialog);
    auto* tree = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(tree, nullptr);
    // The file system model fills in the background.
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree->model()->rowCount(tree->rootIndex()) >= 2; }));
    QTest::qWait(100);
    const QModelIndex root = tree->rootIndex();
    for (int row = 0; row < tree->model()->rowCount(root); ++row) {
        for (int column = 1; column < tree->header()->count(); ++column) {
            const QString text = tree->model()->index(row, column, root).data().toString();
            EXPECT_GT(tree->header()->sectionSize(column),
                      tree->fontMetrics().horizontalAdvance(text))
                << text.toStdString();
        }
    }
    auto* places = dialog.findChild<QListView*>("sidebar");
    ASSERT_NE(places, nullptr);
    EXPECT_GE(places->viewport()->width(), places->sizeHintForColumn(0));
}

TEST_F(Prompt, TheQuestionHasRussianButtons) {
    TMainForm& w = Edited();
    w.Messages().SetInteractive(true);
    QStringList buttons;
    QString title;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->text();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->button(QMessageBox::Cancel)->click();
        }
    });
    answer.start(20);
    w.close();
    answer.stop();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(title, "Сохранить изменения в прошивке?");
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Да", "Нет", "Отмена"}));
}

TEST_F(Window, DialogOkReloadsTheLearningKeys) {
    std::ofstream(options.settingsPath) << "[EDUCATION]\r\nCOUNT_RT_REWRITE=30\r\n";
    TMainForm& w = Make();
    EXPECT_EQ(w.Settings().countRtRewrite, 30);
    AppSettings values = w.Settings();
    TFormSettings dialog(values, w.SettingsPath(), &w, &w.Messages());
    QObject::connect(&dialog, &TFormSettings::saved, &w, [&] { w.LoadSettings(); });
    EXPECT_EQ(dialog.RzSpinEdit2->value(), 30);
    dialog.RzSpinEdit2->setValue(40);
    dialog.btnOKClick();
    EXPECT_EQ(w.Settings().countRtRewrite, 40);
}

TEST_F(Window, SettingsDialogHasAFixedSize) {
    App();
    AppSettings values;
    TFormSettings dialog(values, options.settingsPath);
    dialog.show();
    QTest::qWait(20);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.size(), dialog.minimumSize());
}

TEST_F(Window, CancelledFirstRunConfiguresNoPort) {
    App();
    options.showFirstRunDialog = true;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            box->accept();
        else if (auto* dialog = qobject_cast<TFormSettings*>(modal))
            dialog->btnCancelClick();
    });
    answer.start(20);
    window = std::make_unique<TMainForm>(options);
    answer.stop();
    EXPECT_FALSE(fs::exists(options.settingsPath));
    EXPECT_EQ(window->Settings().ecuPort, "");
    EXPECT_EQ(window->Settings().lcPort, "");
}

TEST_F(Window, AdapterCheckSaysWhyThePortDidNotOpen) {
    App();
    RecordedMessages messages;
    AppSettings values;
    const std::string missing = (dir / "ttyNONE").string();
    TFormSettings d(values, options.settingsPath, nullptr, &messages,
                    {QString::fromStdString(missing)});
    d.cbPortList->SetPath(QString::fromStdString(missing));
    d.btnCheckConnectionClick();
    ASSERT_EQ(messages.entries.size(), 1u);  // one answer, the reason inside it
    EXPECT_EQ(messages.entries.back().caption, "Проверка соединения");
    EXPECT_EQ(messages.entries.back().text,
              "Адаптер не обнаружен\nОшибка открытия порта " + missing);
}

TEST(PortOpenReason, PermissionNamesTheGroup) {
    const std::string message = "Ошибка открытия порта /dev/ttyUSB0";
    const std::pair<int, std::string> cases[] = {
        {EACCES, "нет доступа — пользователь не в группе dialout"},
        {EPERM, "нет доступа — пользователь не в группе dialout"},
        {ENOENT, message},
        {EBUSY, message},
    };
    for (const auto& [error, reason] : cases)
        EXPECT_EQ(PortOpenReason(message, error), reason) << error;
}

TEST_F(Window, QtDialogsSpeakRussian) {
    QTranslator* translator = InstallQtTranslations(App());
    ASSERT_NE(translator, nullptr) << "qtbase_ru.qm is not installed (qt6-translations-l10n)";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), "Открыть");
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

}  // namespace
}  // namespace veltrano
