#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/app_texts.h"
#include "app/icons.h"
#include "app/qt_messages.h"
#include "app/settings_dialog.h"
#include "lambda/lc_threat.h"
#include "learning/learning_connection.h"
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
    SetTabShown(kPcnTrt, false);
    if (auto* box = Control<QCheckBox>("CheckBox2"))
        box->setVisible(false);
    InstallPaintRules();
    InstallEditors();
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
    refreshTimer_->stop();
    // A connect still running must not wait for a box the window can no longer show.
    messages_->SetInteractive(false);
    if (connectThread_.joinable())
        connectThread_.join();
    // The tool ends: stop the workers without the closing exchange.
    learning_.reset();
    lc_.reset();
    link_.reset();
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
        void (TMainForm::*slot)();
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
            connect(a, &QAction::triggered, this, tools[i].slot);
        } else {
            connect(a, &QAction::triggered, this, [this] {
                const QString path = QFileDialog::getOpenFileName(this);
                if (!path.isEmpty())
                    OpenFirmwareFile(path);
            });
        }
        toolActions_[i] = a;
    }
    InstallSurfaceView(bar);
}

void TMainForm::AddStatusPanel(const QString& name, const QString& caption, bool icon, bool bold) {
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
    auto* text = new QLabel(caption, box);
    text->setObjectName(name);
    if (bold) {
        QFont f = text->font();
        f.setBold(true);
        text->setFont(f);
    }
    row->addWidget(text);
    statusTexts_.insert(name, text);
    statusBar()->addWidget(box);
}

void TMainForm::BuildStatusBar() {
    statusBar()->setSizeGripEnabled(false);
    AddStatusPanel("connection", t::kDisconnected, true);
    AddStatusPanel("ram", t::kRamOff, true);
    AddStatusPanel("lambda", t::kLc1, true, true);
    AddStatusPanel("learning", t::kLearningOff, true);
    AddStatusPanel("delay", "", false);
    AddStatusPanel("pressure", t::kDadRt, false);
    AddStatusPanel("stoichiometry", t::kStoichiometric, false);
    AddStatusPanel("notice", "", false);  // log and ECU write failures
    progress_ = new QProgressBar(this);
    progress_->setObjectName("ProgressBar");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setFixedWidth(120);
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

void TMainForm::LoadSettings() {
    if (!veltrano::LoadSettings(options_.settingsPath, settings_) && options_.showFirstRunDialog) {
        messages_->Information(t::kWelcomeText, t::kWelcomeCaption);
        ShowSettingsDialog();
    }
}

void TMainForm::ShowSettingsDialog() {
    TFormSettings dialog(settings_, options_.settingsPath, this);
    connect(&dialog, &TFormSettings::saved, this, [this] { LoadSettings(); });
    dialog.exec();
}

void TMainForm::SetRefreshInterval(int ms) {
    refreshTimer_->setInterval(ms);
}

void TMainForm::Reload_status(int intake, int max) {
    const int percent = max > 0 ? intake * 100 / max : 0;
    progress_->setValue(std::clamp(percent, 0, 100));
}

void TMainForm::closeEvent(QCloseEvent* e) {
    refreshTimer_->stop();
    e->accept();
}

}  // namespace veltrano
