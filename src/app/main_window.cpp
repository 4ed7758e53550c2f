#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>

#include "app/app_texts.h"
#include "app/elided_label.h"
#include "app/file_dialogs.h"
#include "app/icons.h"
#include "app/learning_edits.h"
#include "app/log_actions.h"
#include "app/qt_messages.h"
#include "app/settings_dialog.h"
#include "app/table_edit_actions.h"
#include "app/value_entry.h"
#include "lambda/lc_threat.h"
#include "learning/learning_connection.h"
#include "learning/learning_options.h"
#include "link/obdii.h"
#include "log/session_log.h"

namespace veltrano {
namespace t = app_texts;

TMainForm::TMainForm(WindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), messages_(new QtMessages(this)) {
    setWindowTitle(t::kCaption);
    setObjectName("MainForm");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));  // silver
    setPalette(pal);
    setAutoFillBackground(true);

    BuildToolbar();
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    BuildLeftTabs();
    BuildRightTab();
    row->addWidget(leftTabs_, 1);
    row->addWidget(rightTabs_, 0);
    setCentralWidget(central);
    BuildStatusBar();

    // Creation steps: fixed labels come with the grids; then the settings.
    // Creation: the generator's base curve and the RT grid's zeros.
    static const int kBaseCurve[16] = {3, 5, 7, 12, 17, 19, 20, 21, 23, 24, 24, 25, 25, 24, 23, 22};
    for (int c = 1; c <= 16; ++c) {
        calib_.grids.SG_UOZ.SetCell(c, 17, std::to_string(kBaseCurve[c - 1]));
        for (int r = 1; r <= 16; ++r)
            calib_.grids.SG_RT.SetCell(c, r, "0");
    }
    engine_.SetView(&view_);
    pcnListener_.engine = &engine_;
    LoadSettings();
    if (std::filesystem::exists(options_.settingsPath))
        ShowLearningBoxes();
    SetTabShown(kPcnTrt, false);
    if (auto* box = Control<QCheckBox>("CheckBox2"))
        box->setVisible(false);
    InstallPaintRules();
    InstallEditors();
    InstallTableEdits();
    FollowGridsInSurfaceView();

    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(25);
    connect(refreshTimer_, &QTimer::timeout, this, &TMainForm::RefreshLive);
    refreshTimer_->start();

    setFixedSize(1024, 570);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainForm::~TMainForm() {
    // Hidden while the grids and their lock still exist; no question on the way out.
    closeConfirmed_ = true;
    hide();
    refreshTimer_->stop();
    // A replay runs the learning cycle over the window's state: it ends first.
    logActions_->StopReplay();
    // A connect still running must not wait for a box the window can no longer show.
    messages_->SetInteractive(false);
    if (connectThread_.joinable())
        connectThread_.join();
    // The tool ends: stop the workers without the closing exchange.
    engine_.SetUpdateObserver(nullptr);
    learning_.reset();
    lc_.reset();
    link_.reset();
    // They listen to the edit model, which the members' destruction ends before the children's.
    delete editActions_;
    delete valueEntry_;
}

void TMainForm::BuildToolbar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, bar);
    struct Tool {
        const char* hint;
        ToolIcon icon;
        std::function<void(TMainForm*)> slot;
    };
    const Tool tools[7] = {
        {t::kOpenImage, ToolIcon::Open, nullptr},
        {t::kSaveImage, ToolIcon::Save, &TMainForm::SaveFirmware},
        {t::kSettings, ToolIcon::Settings, &TMainForm::ShowSettingsDialog},
        {t::kConnect, ToolIcon::Connect, &TMainForm::Connect},
        {t::kDisconnect, ToolIcon::Disconnect, &TMainForm::Disconnect},
        {t::kStartLearning, ToolIcon::Learning, &TMainForm::ToggleLearning},
        {t::kExit, ToolIcon::Exit, &TMainForm::ExitTool},
    };
    for (int i = 0; i < 7; ++i) {
        QAction* a = bar->addAction(MakeToolIcon(tools[i].icon), tools[i].hint);
        a->setToolTip(tools[i].hint);
        a->setObjectName(QString("RzToolButton%1").arg(i + 1));
        if (tools[i].slot) {
            connect(a, &QAction::triggered, this, [this, slot = tools[i].slot] { slot(this); });
        } else {
            connect(a, &QAction::triggered, this, [this] {
                if (!ConfirmDiscardEdits())
                    return;
                const QString path = AskOpenFileName(this);
                if (!path.isEmpty())
                    OpenFirmwareFile(path);
            });
        }
        toolActions_[i] = a;
    }
    logActions_ = new LogActions(*this);
    bar->addWidget(logActions_->MakeButton(bar));
    InstallSurfaceView(bar);
}

QString TMainForm::LogFolder() const {
    const std::filesystem::path logs = options_.logDirectory.empty()
                                           ? SessionLog::DefaultDirectory()
                                           : std::filesystem::path(options_.logDirectory) / "Logs";
    return QString::fromStdString(logs.string());
}

void TMainForm::AddStatusPanel(const QString& name, const QString& caption, bool icon, bool bold,
                               int stretch) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(2, 0, 6, 0);
    row->setSpacing(3);
    if (icon) {
        auto* glyph = new QLabel(box);
        glyph->setObjectName(name + "Icon");
        glyph->setPixmap(IndicatorPixmap(false));
        glyph->setProperty("on", false);
        row->addWidget(glyph);
        statusIcons_.insert(name, glyph);
    }
    // A stretching panel takes the room the others leave and cuts its text at the end.
    QLabel* text = stretch > 0 ? new ElidedLabel(caption, box, "") : new QLabel(caption, box);
    text->setObjectName(name);
    if (bold) {
        QFont f = text->font();
        f.setBold(true);
        text->setFont(f);
    }
    row->addWidget(text, 1);
    statusTexts_.insert(name, text);
    statusBar()->addWidget(box, stretch);
}

void TMainForm::BuildStatusBar() {
    statusBar()->setSizeGripEnabled(false);
    AddStatusPanel("connection", t::kDisconnected, true);
    AddStatusPanel("ram", t::kRamOffShort, true);
    StatusText("ram")->setToolTip(t::kRamOff);
    AddStatusPanel("lambda", t::kLc1, true, true);
    AddStatusPanel("learning", t::kLearningOff, true);
    AddStatusPanel("delay", "", false);
    AddStatusPanel("pressure", t::kDadRt, false);
    AddStatusPanel("stoichiometry", t::kStoichiometricShort, false);
    StatusText("stoichiometry")->setToolTip(t::kStoichiometric);
    AddStatusPanel("notice", "", false, false, 1);  // log and ECU write failures, progress
    progress_ = new QProgressBar(this);
    progress_->setObjectName("ProgressBar");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setFixedWidth(90);
    statusBar()->addPermanentWidget(progress_);
}

void TMainForm::SetStatus(const QString& name, const QString& caption, std::optional<bool> on) {
    if (QLabel* text = statusTexts_.value(name); text && text->text() != caption)
        text->setText(caption);
    if (QLabel* glyph = statusIcons_.value(name); glyph && on && glyph->property("on") != *on) {
        glyph->setPixmap(IndicatorPixmap(*on));
        glyph->setProperty("on", *on);
    }
}

// A failure turns a status panel's text and lamp red until it is cleared.
void TMainForm::SetStatusFailure(const QString& name, bool failure) {
    QLabel* text = statusTexts_.value(name);
    if (!text || text->property("failure").toBool() == failure)
        return;
    text->setProperty("failure", failure);
    if (failure) {
        QPalette pal = text->palette();
        pal.setColor(QPalette::WindowText, kFailureRed);
        text->setPalette(pal);
    } else {
        text->setPalette(QPalette());
    }
    if (QLabel* glyph = statusIcons_.value(name))
        glyph->setPixmap(failure ? FailurePixmap()
                                 : IndicatorPixmap(glyph->property("on").toBool()));
}

// Values of a session that no longer runs are shown grey instead of as if they were live.
void TMainForm::SetPanelsStale(bool stale) {
    for (QLabel* panel : panels_) {
        if (panel->property("stale").toBool() == stale)
            continue;
        panel->setProperty("stale", stale);
        QPalette pal = panel->palette();
        if (stale) {
            panel->setProperty("liveText", pal.color(QPalette::WindowText));
            pal.setColor(QPalette::WindowText, QColor(128, 128, 128));
        } else {
            pal.setColor(QPalette::WindowText, panel->property("liveText").value<QColor>());
        }
        panel->setPalette(pal);
    }
}

int TMainForm::ActivePage() const {
    QWidget* w = leftTabs_->currentWidget();
    for (int i = 0; i < 12; ++i)
        if (pages_[i] == w)
            return i;
    return -1;
}

void TMainForm::SetActivePage(int page) {
    if (page >= 0 && page < 12)
        leftTabs_->setCurrentWidget(pages_[page]);
}

// Hidden tabs are taken out of the tab bar; page numbers keep counting them.
void TMainForm::SetTabShown(int page, bool shown) {
    const int at = leftTabs_->indexOf(pages_[page]);
    if (shown == (at >= 0))
        return;
    if (!shown) {
        leftTabs_->removeTab(at);
        pages_[page]->hide();
        return;
    }
    int pos = 0;
    for (int i = 0; i < page; ++i)
        if (leftTabs_->indexOf(pages_[i]) >= 0)
            ++pos;
    leftTabs_->insertTab(pos, pages_[page], pageTitles_[page]);
}

// Both readers run, the window's and the dialog's, so the learning keys are loaded too.
void TMainForm::LoadSettings() {
    if (veltrano::LoadSettings(options_.settingsPath, settings_)) {
        LoadDialogSettings(options_.settingsPath, settings_);
        return;
    }
    if (!options_.showFirstRunDialog)
        return;
    messages_->Information(t::kWelcomeText, t::kWelcomeCaption);
    ShowSettingsDialog();
    // A cancelled first run configures no port rather than guessing one.
    if (!veltrano::LoadSettings(options_.settingsPath, settings_)) {
        settings_.ecuPort.clear();
        settings_.lcPort.clear();
    }
}

// The "Настройка" boxes show the loaded values without writing them back.
void TMainForm::ShowLearningBoxes() {
    const std::pair<const char*, int> boxes[] = {
        {"RzSpinEdit1", kRequestDelayRange.Clamp(settings_.delayRate)},
        {"RzSpinEdit4", kHitsPerPointRange.Clamp(settings_.countRtRewrite)}};
    for (const auto& [name, value] : boxes) {
        QSpinBox* box = Control<QSpinBox>(name);
        const QSignalBlocker quiet(box);
        box->setValue(value);
    }
    PushOptions();
}

void TMainForm::ShowSettingsDialog() {
    TFormSettings dialog(settings_, options_.settingsPath, this, messages_.get());
    connect(&dialog, &TFormSettings::saved, this, [this] { LoadSettings(); });
    dialog.exec();
}

void TMainForm::SetRefreshInterval(int ms) {
    refreshTimer_->setInterval(ms);
}

void TMainForm::Reload_status(int intake, int max) {
    const int percent = std::clamp(max > 0 ? intake * 100 / max : 0, 0, 100);
    progress_->setValue(percent);
    // The live view pauses while the block goes out; the status bar says why.
    writeStatus_ = intake > 0 ? QString(t::kOltWriteStatus).arg(percent) : QString();
    ShowFailures();
}

void TMainForm::closeEvent(QCloseEvent* e) {
    if (!closeConfirmed_ && !ConfirmDiscardEdits()) {
        e->ignore();
        return;
    }
    refreshTimer_->stop();
    e->accept();
}

}  // namespace veltrano
