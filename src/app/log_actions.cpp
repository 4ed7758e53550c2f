#include "app/log_actions.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <atomic>
#include <thread>

#include "analysis/log_reader.h"
#include "analysis/offline_learning.h"
#include "app/app_texts.h"
#include "app/file_dialogs.h"
#include "app/log_learning_dialog.h"
#include "app/log_replay.h"
#include "app/log_viewer.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "common/text_forms.h"

namespace veltrano {
namespace t = app_texts;

LogActions::LogActions(TMainForm& window) : QObject(&window), window_(window) {}

LogActions::~LogActions() = default;

QToolButton* LogActions::MakeButton(QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName("LogButton");
    button->setText(t::kLogMenu);
    button->setToolTip(t::kLogMenu);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    menu->setObjectName("LogMenu");
    const auto ask = [this](auto action) {
        return [this, action] {
            const QString path = AskForLog();
            if (!path.isEmpty())
                (this->*action)(path);
        };
    };
    menu->addAction(t::kOpenLog, this, ask(&LogActions::OpenViewer));
    menu->addAction(t::kLearnFromLog, this, ask(&LogActions::LearnFromLog));
    menu->addAction(t::kReplayLog, this, ask(&LogActions::StartReplay));
    button->setMenu(menu);
    return button;
}

QString LogActions::AskForLog() const {
    return AskOpenFileName(&window_, t::kOpenLog, window_.LogFolder(), t::kLogFileFilter);
}

std::shared_ptr<const LogTable> LogActions::ReadLog(const QString& path) {
    LogReadResult read = ReadSessionLog(path.toStdString());
    if (!read.ok) {
        if (!read.error.empty())
            window_.Messages().Warning(read.error, t::kErrorCaption);
        return nullptr;
    }
    return std::make_shared<const LogTable>(std::move(read.table));
}

std::optional<MapAxes> LogActions::PcnAxes() const {
    const Calibration& image = window_.Image();
    if (!image.layout.FirmwareLoaded)
        return std::nullopt;
    MapAxes axes;
    axes.loadIsPressure = image.layout.FlagPcnGridDad;
    std::lock_guard<std::mutex> lock(window_.GridsMutex());
    const TextGrid& pcn = image.grids.SG_PCN;
    for (int k = 1; k <= 16; ++k) {
        axes.rpm << QString::fromStdString(pcn.Cell(k, 0));
        axes.load << QString::fromStdString(pcn.Cell(0, k));
    }
    return axes;
}

LogViewer* LogActions::OpenViewer(const QString& path) {
    auto* viewer = new LogViewer(window_.Messages(), &window_);
    viewer->SetImageAxes(PcnAxes());
    if (!viewer->Open(path)) {
        delete viewer;
        return nullptr;
    }
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    connect(viewer, &QObject::destroyed, this, [this, viewer] { std::erase(viewers_, viewer); });
    viewers_.push_back(viewer);
    viewer->show();
    return viewer;
}

LogLearningDialog* LogActions::LearnFromLog(const QString& path) {
    if (!window_.Image().layout.FirmwareLoaded) {
        window_.Messages().Warning(t::kNoImage, t::kErrorCaption);
        return nullptr;
    }
    const std::shared_ptr<const LogTable> log = ReadLog(path);
    if (!log)
        return nullptr;
    CalibrationGrids grids;
    {
        std::lock_guard<std::mutex> lock(window_.GridsMutex());
        grids = window_.Image().grids;
    }
    const LearningImage image = LearningImageFrom(window_.Image().firmware, window_.Image().layout);
    const LearningOptions options = window_.Engine().Options();

    // The run takes a while on a long drive: off the window's thread, with a progress box.
    std::atomic<double> share{0};
    std::atomic<bool> cancel{false}, done{false};
    OfflineLearningResult result;
    QEventLoop loop;
    std::thread worker([&] {
        result =
            veltrano::LearnFromLog(*log, grids, image, options, DecimalSeparator(), [&](double f) {
                share = f;
                return !cancel.load();
            });
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QProgressDialog progress(t::kLearnRunning, t::kCancel, 0, 100, &window_);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QTimer poll;
    connect(&poll, &QTimer::timeout, &progress, [&] {
        progress.setValue(int(share.load() * 100));
        if (progress.wasCanceled())
            cancel = true;
    });
    poll.start(50);
    if (!done)
        loop.exec();
    worker.join();
    poll.stop();
    progress.reset();
    if (cancel)
        return nullptr;

    auto* dialog =
        new LogLearningDialog(std::move(result), options, QFileInfo(path).fileName(), &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &LogLearningDialog::applyRequested, &window_, &TMainForm::ApplyPcnTable);
    dialog->show();
    return dialog;
}

LogReplay* LogActions::StartReplay(const QString& path) {
    if (window_.EcuConnected() || window_.Connecting()) {
        window_.Messages().Warning(t::kReplayWhileConnected, t::kErrorCaption);
        return nullptr;
    }
    const std::shared_ptr<const LogTable> log = ReadLog(path);
    if (!log)
        return nullptr;
    replay_.reset();
    replay_ = std::make_unique<LogReplay>(window_, log, QFileInfo(path).fileName());
    connect(replay_.get(), &LogReplay::stopRequested, this,
            [this] { QTimer::singleShot(0, this, &LogActions::StopReplay); });
    replay_->show();
    return replay_.get();
}

void LogActions::StopReplay() {
    replay_.reset();
}

}  // namespace veltrano
