// The window's periodic pull of the workers' latest state: panels, status bar, grid colours.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/qt_messages.h"
#include "app/trouble_codes_panel.h"
#include "common/text_forms.h"
#include "lambda/lc_threat.h"

namespace veltrano {
namespace t = app_texts;

namespace {

// Long general texts (up to 15 digits) shrink the panel's font so that they stay readable.
void SetText(QLabel* label, const QString& text) {
    if (!label || label->text() == text)
        return;
    label->setText(text);
    if (label->property("basePoint").isNull())
        label->setProperty("basePoint", label->font().pointSize());
    QFont f = label->font();
    f.setPointSize(label->property("basePoint").toInt());
    while (f.pointSize() > 6 && QFontMetrics(f).horizontalAdvance(text) > label->width() - 4)
        f.setPointSize(f.pointSize() - 1);
    if (f != label->font())
        label->setFont(f);
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
        SetStatus("ram", t::kRamOk, true);
        liveState_.RamStatusShown = true;
    }
    SetStatus("delay", t::kTimeReadPrefix + QString::number(shown.sendingDelay), std::nullopt);
    if (shown.reading) {
        if (shown.live.FsensorAirFuelRatio != 0)
            SetText(Panel("LC_coeff_panel"),
                    General(shown.reading->AFR / shown.live.FsensorAirFuelRatio));
        SetText(Panel("LC_afr_panel"), General(shown.reading->AFR));
        SetText(Panel("RzPanel30"), General(shown.reading->AFR));
        SetStatus("stoichiometry", t::kStoichiometricPrefix + General(shown.reading->stochiometric),
                  std::nullopt);
        // A reading the cycle took before the view saw it pending lights the panel too;
        // otherwise a fast record rate would keep the lambda panel dark.
        SetStatus("lambda", t::kLc1Prefix + QString::fromStdString(shown.reading->Message_LC1),
                  true);
    }
    SetText(Panel("RzPanel28"), General(shown.NarrowbandAfr));
    SetText(Panel("RzPanel7"), General(shown.LambdaCoeff));
    SetText(Panel("RzPanel29"), General(shown.PcnInterp));
    SetText(Panel("Panel27"), QString::number(shown.count_log));
    SetText(Panel("RzPanel5"), General(shown.LambdaWindowMean));
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
    QString notice = logNotice_;
    if (!writes.isEmpty())
        notice = notice.isEmpty() ? writes : notice + "; " + writes;
    SetStatus("notice", notice, std::nullopt);
}

void TMainForm::RefreshLive() {
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
    }
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
            ps.MovementMap != paint_.MovementMap || ps.LearnHits != paint_.LearnHits;
        paint_.op = ps.op;
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
