// The window's periodic pull of the workers' latest state: panels, status bar, grid colours.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>

#include "app/app_texts.h"
#include "app/learning_gate_panel.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/trouble_codes_panel.h"
#include "common/text_forms.h"
#include "lambda/lc_threat.h"

namespace veltrano {
namespace t = app_texts;

namespace {

void SetText(QLabel* label, const QString& text) {
    if (label && label->text() != text)
        label->setText(text);
}

QString General(double v) {
    return QString::fromStdString(GeneralText(v, DecimalSeparator()));
}

void SetBackground(QLabel* label, const QColor& colour) {
    if (!label || label->palette().color(QPalette::Window) == colour)
        return;
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colour);
    label->setPalette(pal);
}

}  // namespace

void TMainForm::ShowRecord(const LearningShown& shown) {
    liveState_.TripFuelRate = shown.view.TripFuelRate;
    LiveViewState scratch = liveState_;
    const LiveValuesView view = LiveValues(shown.live, scratch, DecimalSeparator());
    for (const PanelText& p : view.panels)
        SetText(Panel(p.panel), QString::fromStdString(p.text));
    SetText(Panel("RzPanel35"), General(shown.view.TripFuelRate));
    liveState_.FazaUozInjTime = shown.view.FazaUozInjTime;
    liveState_.FazaGenInjTime = shown.view.FazaGenInjTime;
    SetBackground(Panel("RzPanel3"), view.injDutyRed ? QColor(255, 0, 0) : Qt::black);
    SetBackground(Panel("RzPanel34"), view.knockRed ? QColor(255, 0, 0) : Qt::black);
    SetText(Control<QLabel>("LDK_ZONE"), QString::fromStdString(view.dkZone));
    SetText(Control<QLabel>("Label19"), QString::fromStdString(view.dkReady));
    if (shown.ramStatusOk && !liveState_.RamStatusShown) {
        SetStatus("ram", t::kRamOkShort, true);
        StatusText("ram")->setToolTip(t::kRamOk);
        liveState_.RamStatusShown = true;
    }
    SetStatus("delay", t::kTimeReadPrefix + QString::number(shown.sendingDelay), std::nullopt);
    if (shown.reading) {
        if (shown.live.FsensorAirFuelRatio != 0)
            SetText(Panel("LC_coeff_panel"),
                    General(shown.reading->AFR / shown.live.FsensorAirFuelRatio));
        SetText(Panel("LC_afr_panel"), General(shown.reading->AFR));
        SetText(Panel("RzPanel30"), General(shown.reading->AFR));
        const QString stoich = General(shown.reading->stochiometric);
        SetStatus("stoichiometry", t::kStoichiometricShortPrefix + stoich, std::nullopt);
        StatusText("stoichiometry")->setToolTip(t::kStoichiometricPrefix + stoich);
        // A reading the cycle took before the view saw it pending lights the panel too;
        // otherwise a fast record rate would keep the lambda panel dark.
        SetStatus("lambda", t::kLc1Prefix + QString::fromStdString(shown.reading->Message_LC1),
                  true);
        SetStatusFailure("lambda", false);
    }
    SetText(Panel("RzPanel28"), General(shown.NarrowbandAfr));
    SetText(Panel("RzPanel7"), General(shown.LambdaCoeff));
    SetText(Panel("RzPanel29"), General(shown.PcnInterp));
    SetText(Panel("Panel27"), QString::number(shown.count_log));
    SetText(Panel("RzPanel5"), General(shown.LambdaWindowMean));
    gatePanel_->Show(shown, engine_.Options());
}

// A log the cycle cannot write and table writes the ECU did not confirm stay in sight.
void TMainForm::ShowFailures() {
    if (auto status = view_.TakeLogStatus())
        logNotice_ = QString::fromStdString(*status);
    QString writes;
    if (link_) {
        if (const long n = link_->WriteFailures.load(); n > 0)
            writes = t::kWriteFailedPrefix + QString::number(n);
        if (link_->FirmwareOltFailed.load())
            writes =
                writes.isEmpty() ? QString(t::kOltBlockFailed) : writes + "; " + t::kOltBlockFailed;
    }
    QString notice = linkNotice_;
    if (!logNotice_.isEmpty())
        notice = notice.isEmpty() ? logNotice_ : notice + "; " + logNotice_;
    if (!writes.isEmpty())
        notice = notice.isEmpty() ? writes : notice + "; " + writes;
    const bool failing = !notice.isEmpty();
    if (!writeStatus_.isEmpty())
        notice = failing ? writeStatus_ + "; " + notice : writeStatus_;
    SetStatus("notice", notice, std::nullopt);
    SetStatusFailure("notice", failing);
}

// Error packets and silence of the wideband controller, which give no readings to show.
void TMainForm::WatchLambda() {
    if (!lc_ || !lc_->Running())
        return;
    const auto trouble =
        lambdaWatch_.Update(lc_->Reading(), lc_->FramesRead(), std::chrono::steady_clock::now());
    if (!trouble)
        return;
    SetStatus("lambda", QString::fromStdString(trouble->text), false);
    SetStatusFailure("lambda", true);
}

void TMainForm::RefreshLive() {
    WatchLink();
    if (const int intake = progressIntake_.exchange(-1); intake >= 0)
        Reload_status(intake, progressMax_.load());
    paint_.FlagDadUozAfr = calib_.layout.FlagDadUozAfr;
    std::chrono::steady_clock::time_point reported;
    if (auto shown = view_.TakeRecord(&reported)) {
        ShowRecord(*shown);
        const auto shownAt = std::chrono::steady_clock::now();
        if (latencies_.size() < 100000)
            latencies_.push_back(
                std::chrono::duration<double, std::milli>(shownAt - reported).count());
    }
    if (auto pending = view_.TakePending()) {
        SetText(Panel("LC_afr_panel"), General(pending->AFR));
        SetStatus("lambda", t::kLc1Prefix + QString::fromStdString(pending->Message_LC1), true);
        SetStatusFailure("lambda", false);
    }
    WatchLambda();
    ShowFailures();
    troubleCodes_->Poll();
    if (auto problem = view_.TakeCellProblem())
        messages_->Warning(*problem, t::kErrorCaption);
    const bool cells = view_.TakeGridsChanged();
    if (view_.TakeCellChanged() || cells || paint_.EcuConnected) {
        const LearningPaintState ps = engine_.PaintState();
        const bool moved =
            ps.op.RPM_RT != paint_.op.RPM_RT || ps.op.LoadIndex != paint_.op.LoadIndex ||
            ps.op.TRT_RT != paint_.op.TRT_RT || ps.op.DAD_RT != paint_.op.DAD_RT ||
            ps.op.RPM_RT_32 != paint_.op.RPM_RT_32 || ps.op.DAD_RT_32 != paint_.op.DAD_RT_32 ||
            ps.MovementMap != paint_.MovementMap || ps.LearnHits != paint_.LearnHits ||
            ps.precise != paint_.precise;
        paint_.op = ps.op;
        paint_.precise = ps.precise;
        paint_.MovementMap = ps.MovementMap;
        paint_.LearnHits = ps.LearnHits;
        if (moved || cells) {
            for (GridView* g : grids_)
                if (g->isVisible())
                    g->viewport()->update();
            if (surface_)
                surface_->Changed();
        }
    }
}

}  // namespace veltrano
