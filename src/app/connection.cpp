// Connect and disconnect, the learning switch, trouble codes and the live refresh.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <thread>

#include "app/app_texts.h"
#include "app/learning_gate_panel.h"
#include "app/log_actions.h"
#include "app/main_window.h"
#include "app/precise_controls.h"
#include "app/qt_messages.h"
#include "app/trouble_codes_panel.h"
#include "lambda/lc_threat.h"
#include "learning/learning_connection.h"
#include "learning/learning_options.h"
#include "learning/table_transfer.h"
#include "link/obdii.h"
#include "log/log_format.h"
#include "log/session_log.h"

namespace veltrano {
namespace t = app_texts;

namespace {

bool NeedsOltDad(const FirmwareLayout& l) {
    return l.firmwareName == "J7ES" || l.firmwareName == "J5TRS" || l.firmwareName == "J5LS" ||
           l.FlagDAD;
}

}  // namespace

void TMainForm::Connect() {
    logTimeName_ = LogStampNow();
    const std::filesystem::path logs = options_.logDirectory.empty()
                                           ? SessionLog::DefaultDirectory()
                                           : std::filesystem::path(options_.logDirectory) / "Logs";
    SessionLog::CreateDirectory(logs);
    if (!calib_.layout.FirmwareLoaded) {
        messages_->Warning(t::kNoImage, t::kErrorCaption);
        return;
    }
    // A lost link is ended here first; otherwise a connect request never disturbs a
    // connection that exists or is being made.
    if (ecuConnected_ && linkLost_)
        Disconnect();
    if (ecuConnected_ || connecting_)
        return;
    logActions_->StopReplay();
    connecting_ = true;
    toolActions_[3]->setEnabled(false);
    const AppSettings s = settings_;
    const bool oltDad = NeedsOltDad(calib_.layout);
    // The session start takes seconds on a real line: it runs off the window's thread.
    if (connectThread_.joinable())
        connectThread_.join();
    const auto sessionEndsBy = ecuSessionEndsBy_;
    connectThread_ = std::thread([this, s, oltDad, sessionEndsBy] {
        LinkHooks hooks;
        hooks.messages = messages_.get();
        hooks.progress = [this](int intake, int max) {
            progressIntake_ = intake;
            progressMax_ = max;
        };
        auto link = std::make_unique<TOBDII>(s.ecuPort, s.baudRate1, s.baudRate2, s.delayRate,
                                             false, false, 30, std::move(hooks));
        link->EcuSessionEndsBy = sessionEndsBy;
        bool ok = link->Running();
        if (ok) {
            if (oltDad)
                link->Flag_OLT_DAD = true;
            ok = link->ConnectToECU();
        }
        TOBDII* raw = link.release();
        QMetaObject::invokeMethod(
            this, [this, raw, ok] { FinishConnect(std::unique_ptr<TOBDII>(raw), ok); },
            Qt::QueuedConnection);
    });
}

void TMainForm::FinishConnect(std::unique_ptr<TOBDII> link, bool ok) {
    if (connectThread_.joinable())
        connectThread_.join();
    connecting_ = false;
    toolActions_[3]->setEnabled(true);
    if (!ok) {
        link.reset();
        ecuConnected_ = false;
        messages_->Warning(t::kNotConnected, t::kErrorCaption);
        emit connectFinished(false);
        return;
    }
    // The previous connection's cycle and reader end before its link is replaced.
    learning_.reset();
    lc_.reset();
    link_ = std::move(link);
    troubleCodes_->Watch(link_.get());
    gatePanel_->Clear();
    ecuConnected_ = true;
    linkLost_ = false;
    linkNotice_.clear();
    SetPanelsStale(false);
    paint_.EcuConnected = true;
    if (Control<QRadioButton>("RadioOlt")->isChecked())
        link_->FlagOLT = true;
    link_->FlagWriteFirmware = false;
    link_->FdadNaklon = calib_.firmware.FdadNaklon;
    link_->FdadSMeshenie = calib_.firmware.FdadSMeshenie;
    StartLearningAndLambda();
    LoadLinkTables(calib_.firmware, calib_.layout, learning_->Link());
    link_->Flag = true;
    SetStatus("connection", t::kConnected, true);
    emit connectFinished(true);
}

void TMainForm::StartLearningAndLambda() {
    // The reader exists before the cycle that reads it.
    lc_.reset();
    lc_ = TLcThreat::Create(settings_.lcPort, settings_.lamSensor);
    lambdaWatch_.Start(std::chrono::steady_clock::now());
    Control<QSpinBox>("RzSpinEdit1")->setValue(kRequestDelayRange.Clamp(settings_.delayRate));
    Control<QSpinBox>("RzSpinEdit4")->setValue(kHitsPerPointRange.Clamp(settings_.countRtRewrite));
    PushOptions();
    const std::filesystem::path logs = options_.logDirectory.empty()
                                           ? SessionLog::DefaultDirectory()
                                           : std::filesystem::path(options_.logDirectory) / "Logs";
    learning_ = std::make_unique<LearningConnection>(
        engine_, *link_, lc_.get(), std::make_unique<SessionLog>(logs, logTimeName_));
}

void TMainForm::Disconnect() {
    if (!ecuConnected_)
        return;
    if (learning_)
        learning_->Terminate();
    DisconnectLink();
}

// Always ends the session here: a lost link is closed without the closing exchange, and a
// stop the ECU does not confirm still closes the port; the status bar keeps the reason.
void TMainForm::DisconnectLink() {
    bool confirmed = false;
    if (linkLost_)
        link_->Close();
    else
        confirmed = link_->Stop();
    // An ECU not told to end its session keeps it, at the session's speed, for a while.
    if (!confirmed)
        ecuSessionEndsBy_ = std::chrono::steady_clock::now() + TOBDII::kEcuSessionTimeout;
    ecuConnected_ = false;
    paint_.EcuConnected = false;
    SetStatus("connection", t::kDisconnected, false);
    SetStatusFailure("connection", false);
    for (GridView* g : grids_)
        g->viewport()->update();
    if (surface_)
        surface_->Changed();
    if (lc_ && LcRunning) {
        lc_->ExitReadPort = true;
        // The reader is always stopped, so its port is free for the next connection.
        lc_->stop();
    }
    // The cycle has been asked to end; it reads the reader, so it goes first.
    learning_.reset();
    lc_.reset();
    // The cycle's last record is shown now; it left the cycle before the stop began. A reading
    // it carries does not light the lamp of a reader that has stopped.
    if (auto last = view_.TakeRecord())
        ShowRecord(*last);
    view_.TakePending();
    SetStatus("lambda", StatusText("lambda")->text(), false);
    if (!linkLost_ && !confirmed) {
        linkNotice_ = t::kStopFailed;
        messages_->Warning(t::kStopFailed, t::kErrorCaption);
    }
}

// A link whose ECU stopped answering ends its polling; the window shows it at once.
void TMainForm::WatchLink() {
    if (!ecuConnected_ || linkLost_ || !link_)
        return;
    if (!link_->Flag_outDiag.load() && link_->Flag.load())
        return;
    linkLost_ = true;
    SetStatus("connection", t::kLinkLost, false);
    SetStatusFailure("connection", true);
    SetPanelsStale(true);
}

void TMainForm::SetReplayMode(bool on) {
    paint_.EcuConnected = on;
    SetStatus("connection", on ? t::kReplaying : t::kDisconnected, on);
    // A replay shows records, it does not learn from them; the lamp says so while it runs.
    const bool learning = !on && educations_.load();
    SetStatus("learning", learning ? t::kLearningOn : t::kLearningOff, learning);
    for (GridView* g : grids_)
        g->viewport()->update();
}

void TMainForm::ToggleLearning() {
    const bool on = !educations_.load();
    educations_ = on;
    engine_.SetEducations(on);
    SetStatus("learning", on ? t::kLearningOn : t::kLearningOff, on);
    toolActions_[5]->setToolTip(on ? t::kStopLearning : t::kStartLearning);
    toolActions_[5]->setText(on ? t::kStopLearning : t::kStartLearning);
}

void TMainForm::ExitTool() {
    if (!ConfirmDiscardEdits())
        return;
    closeConfirmed_ = true;
    Disconnect();
    close();
    closeConfirmed_ = false;
}

void TMainForm::ClearTroubleCodes() {
    if (ecuConnected_ && link_) {
        troubleCodes_->NoteClearRequested();
        link_->Flag_Clear_Error = true;
    }
}

void TMainForm::ReadTroubleCodes() {
    if (ecuConnected_ && link_)
        link_->Flag_Read_Error = true;
}

void TMainForm::WriteLearningBoxes() {
    PushOptions();
    veltrano::WriteLearningBoxes(options_.settingsPath, Control<QSpinBox>("RzSpinEdit1")->value(),
                                 Control<QSpinBox>("RzSpinEdit4")->value());
}

}  // namespace veltrano

namespace veltrano {

void TMainForm::PushOptions() {
    LearningOptions o;
    if (Control<QRadioButton>("RadioOlt")->isChecked())
        o.target = WriteTarget::Olt;
    if (Control<QRadioButton>("RadioRam")->isChecked())
        o.target = WriteTarget::RamPcn;
    if (Control<QRadioButton>("RadioRamUoz")->isChecked())
        o.target = WriteTarget::RamUoz;
    if (Control<QRadioButton>("RadioDK")->isChecked())
        o.source = LambdaSource::Dk;
    if (Control<QRadioButton>("RadioVoltDk")->isChecked())
        o.source = LambdaSource::VoltDk;
    if (Control<QRadioButton>("RadioLAM_SHDK")->isChecked())
        o.source = LambdaSource::Shdk;
    o.rememberMovement = Control<QCheckBox>("CheckBox1")->isChecked();
    o.autoSmoothing = Control<QCheckBox>("CheckBox4")->isChecked();
    o.skipBelow2Tps = Control<QCheckBox>("CheckBox7")->isChecked();
    o.requestDelay = Control<QSpinBox>("RzSpinEdit1")->value();
    o.learnCoolant = Control<QSpinBox>("RzSpinEdit3")->value();
    o.hitsPerPoint = Control<QSpinBox>("RzSpinEdit4")->value();
    if (precise_)
        precise_->Apply(o);
    engine_.SetOptions(o);
    paint_.preciseMode = o.mode == LearningMode::Precise;
    paint_.rememberMovement = o.rememberMovement;
}

}  // namespace veltrano
