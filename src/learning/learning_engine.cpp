#include "learning/learning_engine.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/text_forms.h"
#include "learning/learning_notices.h"
#include "learning/narrowband.h"
#include "learning/pcn_update.h"
#include "log/log_format.h"
#include "log/log_row.h"
#include "log/log_texts.h"

namespace veltrano {

LearningImage LearningImageFrom(const TFirmware& firmware, const FirmwareLayout& layout) {
    LearningImage image;
    image.axes.FRPMAxis = firmware.FRPMAxis;
    image.axes.FThrottleAxis = firmware.FThrottleAxis;
    image.axes.FDADAxis = firmware.FDADAxis;
    image.axes.FRPMAxis_32 = firmware.FRPMAxis_32;
    image.axes.FdadAxis_32 = firmware.FdadAxis_32;
    image.FlagDAD = layout.FlagDAD;
    image.FlagPcnGridDad = layout.FlagPcnGridDad;
    image.addresses = {layout.StartAddrAFR, layout.StartAddrUOZ, layout.StartAddrPCN,
                       layout.StartAddrBCN};
    image.loaded = layout.FirmwareLoaded;
    const std::vector<std::uint8_t>& bytes = firmware.FFirmwareData;
    for (int i = 0; i < 256; ++i) {
        const std::size_t at = static_cast<std::size_t>(layout.StartAddrPCN) + i;
        image.pcnAsOpened[i] = layout.StartAddrPCN > 0 && at < bytes.size() ? bytes[at] / 128.0 : 0;
    }
    return image;
}

LearningEngine::LearningEngine(CalibrationGrids& grids, std::mutex& gridsMutex)
    : grids_(grids), gridsMutex_(gridsMutex) {}

void LearningEngine::ImageOpened(const LearningImage& image) {
    SetImage(image);
    std::lock_guard lock(stateMutex_);
    FillCounts(s_.LearnHits, 1);
    s_.reportedCells.clear();
    precise_.Reset(&image.pcnAsOpened);
}

void LearningEngine::SetImage(const LearningImage& image) {
    bool otherTable = false;
    {
        std::lock_guard lock(configMutex_);
        otherTable = image_.addresses.StartAddrPCN != image.addresses.StartAddrPCN;
        image_ = image;
    }
    if (otherTable) {
        std::lock_guard lock(stateMutex_);
        precise_.Reset(&image.pcnAsOpened);
    }
}

void LearningEngine::SetCellLock(int c, int r, bool locked) {
    std::lock_guard lock(stateMutex_);
    precise_.SetUserLock(c, r, locked);
}

void LearningEngine::SetClock(std::function<double()> clock) {
    std::lock_guard lock(stateMutex_);
    clock_ = std::move(clock);
}

void LearningEngine::SetOptions(const LearningOptions& options) {
    std::lock_guard lock(configMutex_);
    options_ = options.Clamped();
}

LearningOptions LearningEngine::Options() const {
    std::lock_guard lock(configMutex_);
    return options_;
}

void LearningEngine::SetEducations(bool on) {
    std::lock_guard lock(configMutex_);
    educations_ = on;
}

bool LearningEngine::Educations() const {
    std::lock_guard lock(configMutex_);
    return educations_;
}

void LearningEngine::SetView(LearningView* view) {
    std::lock_guard lock(configMutex_);
    view_ = view;
}

void LearningEngine::SetUpdateObserver(TableUpdateObserver* observer) {
    std::lock_guard lock(configMutex_);
    updateObserver_ = observer;
}

void LearningEngine::ResetMovement() {
    {
        std::lock_guard lock(stateMutex_);
        FillCounts(s_.MovementMap, 0);
    }
    Notices notices;
    notices.cellChanged = true;
    Report(notices);
}

void LearningEngine::ResetLearning() {
    std::lock_guard lock(stateMutex_);
    FillCounts(s_.LearnHits, 0);
}

void LearningEngine::NotePcnRewrite(bool ram) {
    std::lock_guard lock(stateMutex_);
    (ram ? s_.RamRewriteMark : s_.OltRewriteMark) = 1;
    s_.count_log = 0;
}

LearningPaintState LearningEngine::PaintState() const {
    const bool precise = Options().mode == LearningMode::Precise;
    std::lock_guard lock(stateMutex_);
    return {s_.op, s_.LearnHits, s_.MovementMap, precise, precise_.Map()};
}

std::array<long, kPreciseVerdicts> LearningEngine::PreciseVerdicts() const {
    std::lock_guard lock(stateMutex_);
    return precise_.Verdicts();
}

ProgramLearningState LearningEngine::State() const {
    std::lock_guard lock(stateMutex_);
    return s_;
}

void LearningEngine::ShowPendingReading(const LambdaReading& reading) {
    LearningView* view = nullptr;
    {
        std::lock_guard lock(configMutex_);
        view = view_;
    }
    if (view != nullptr)
        view->PendingReading(reading);
}

void LearningEngine::ProcessRecord(ConnectionLearningState& conn, LearningLink& link,
                                   LearningLambda* lambda, SessionLog* log) {
    // Take the record and clear the flag first, so a record published meanwhile raises the
    // flag again and gets its own pass instead of being merged into this one.
    const bool fresh = link.IsNew();
    link.ClearNew();
    const LiveRecord live = link.Live();
    if (fresh && live.sequence != 0 && live.sequence == conn.lastSequence)
        return;
    conn.lastSequence = live.sequence;

    Notices notices;
    {
        std::lock_guard lock(stateMutex_);
        Pass(conn, link, lambda, log, live, fresh, notices);
    }
    Report(notices);
}

void LearningEngine::Pass(ConnectionLearningState& conn, LearningLink& link, LearningLambda* lambda,
                          SessionLog* log, const LiveRecord& live, bool fresh, Notices& notices) {
    LearningImage image;
    LearningOptions options;
    bool educations = false;
    {
        std::lock_guard lock(configMutex_);
        image = image_;
        options = options_;
        educations = educations_;
    }
    s_.records += 1;
    LearningShown shown;
    const LogTime stamp = NowLogTime();
    const double now = clock_ ? clock_() : timeline_.Next(SecondsOfDay(stamp));

    UpdateLiveViewValues(s_.view, live.FsensorCarSpeed, live.FsensorFuelTimeRate,
                         live.FsensorCrankshaftSpeed, live.FsensorFuelTimeLength);
    if (options.target == WriteTarget::Olt)
        link.EnterOltMode(image.addresses);
    if (!s_.RamStatusShown && link.OltMode() && link.SwitchedToRam())
        s_.RamStatusShown = true;
    link.SetRequestDelay(options.requestDelay);
    shown.sendingDelay = link.SendingDelay();
    s_.RamRewriteMark = 0;
    s_.OltRewriteMark = 0;

    LocateOperatingPoint(image.axes,
                         {static_cast<double>(live.FsensorPressure), live.FsensorThrottlePosition,
                          live.FsensorCrankshaftSpeed},
                         image.FlagDAD, s_.op, conn.frac);

    // No target AFR yet (nothing decoded): the quotients would be inf or NaN, so they keep
    // their last values.
    const double target = live.FsensorAirFuelRatio;
    const bool haveTarget = target != 0 && std::isfinite(target);
    conn.recordsSinceReading += 1;
    if (lambda != nullptr && lambda->Running() && lambda->Pending()) {
        shown.reading = lambda->Take();
        if (shown.reading && haveTarget && shown.reading->AFR > 0) {
            s_.LC_COrrect = shown.reading->AFR / target;
            conn.recordsSinceReading = 0;
        }
    }
    conn.NarrowbandAfr = NarrowbandAfr(live.FsensorLamMdaVoltage_2);
    if (haveTarget)
        s_.COEFF_B1S1 = conn.NarrowbandAfr / target;

    s_.weights = SmoothWeights(conn.frac, image.FlagPcnGridDad, s_.T);

    const bool fuelOn = live.flag_fuelOFF == 0;
    switch (options.source) {
        case LambdaSource::Shdk:
            s_.AllowLearning = true;
            break;
        case LambdaSource::VoltDk:
            conn.LambdaCoeff = s_.COEFF_B1S1;
            s_.AllowLearning = live.flag_O2_gotov == 1 && live.flag_zone_O2 == 0 && fuelOn;
            break;
        case LambdaSource::Dk:
            conn.LambdaCoeff = live.FsensorFuelTimeCorrection;
            s_.AllowLearning = live.flag_O2_gotov == 1 && live.flag_zone_O2 == 1 && fuelOn;
            break;
        case LambdaSource::None:
            break;
    }

    LocateCell(image, options, notices);
    Gate(live, options, educations);
    const bool jumped = Stationarity(live, options);
    const bool usable = CoefficientUsable(conn, options);
    if (!haveTarget || !usable)
        s_.AllowLearning = false;
    const long samplesBefore = s_.samples;
    if (options.mode == LearningMode::Precise)
        LearnPrecise(conn, link, live, now, image, options, notices);
    else if (s_.AllowLearning)
        Learn(conn, link, live, image, options, notices);
    LearningGate gate = LearningGate::Admitted;
    if (s_.samples == samplesBefore) {
        gate = FirstRefusingGate(live, options,
                                 {educations, jumped, s_.steadyRecords, haveTarget, usable});
        if (gate == LearningGate::Admitted)
            gate = LearningGate::CellNotNumber;
    }
    conn.gateCounts[static_cast<std::size_t>(gate)] += 1;
    if (fresh)
        WriteLogRow(conn, lambda, log, live, stamp, notices);

    shown.live = live;
    shown.view = s_.view;
    shown.op = s_.op;
    shown.NarrowbandAfr = conn.NarrowbandAfr;
    shown.LambdaCoeff = conn.LambdaCoeff;
    shown.PcnInterp = s_.PcnInterp;
    shown.count_log = s_.count_log;
    shown.LambdaWindowMean = s_.LambdaWindowMean;
    shown.LC_COrrect = s_.LC_COrrect;
    shown.ramStatusOk = s_.RamStatusShown;
    shown.allowLearning = s_.AllowLearning;
    shown.updated = s_.OltRewriteMark != 0 || s_.RamRewriteMark != 0;
    shown.gate = gate;
    shown.gateText = GateText(gate, options, s_.steadyRecords);
    shown.gateCounts = conn.gateCounts;
    notices.shown = shown;
}

// A coefficient of 0 (no reading yet) or a wideband value that has stopped coming would
// drive the table to its limits; such records are not samples.
bool LearningEngine::CoefficientUsable(const ConnectionLearningState& conn,
                                       const LearningOptions& options) const {
    if (options.source == LambdaSource::Shdk) {
        return s_.LC_COrrect > 0 && std::isfinite(s_.LC_COrrect) &&
               conn.recordsSinceReading <= kStaleReadingRecords;
    }
    return conn.LambdaCoeff > 0 && std::isfinite(conn.LambdaCoeff);
}

void LearningEngine::LocateCell(const LearningImage& image, const LearningOptions& options,
                                Notices& notices) {
    OperatingCell& op = s_.op;
    op.LoadIndex = LoadIndexOf(op, image.FlagPcnGridDad);
    const int c = op.RPM_RT;
    const int r = op.LoadIndex;
    if (options.rememberMovement && InTable(c, r))
        s_.MovementMap[c][r] += 1;

    if (InTable(c, r) && c < 16 && r < 16) {
        std::lock_guard lock(gridsMutex_);
        const TextGrid& pcn = grids_.SG_PCN;
        const char sep = DecimalSeparator();
        double cells[4] = {};
        const int cols[4] = {c, c + 1, c, c + 1};
        const int rows[4] = {r, r, r + 1, r + 1};
        bool numbers = true;
        for (int i = 0; i < 4; ++i) {
            const auto v = ParseNumber(pcn.Cell(cols[i], rows[i]), sep);
            if (!v) {
                numbers = false;
                if (s_.reportedCells.insert({0, cols[i] * 100 + rows[i]}).second) {
                    notices.badCells.push_back(
                        BadCellMessage({"SG_PCN", cols[i], rows[i], pcn.Cell(cols[i], rows[i])}));
                }
            }
            cells[i] = v.value_or(0);
        }
        if (numbers) {
            const CellWeights& w = s_.weights;
            s_.PcnInterp = static_cast<double>(static_cast<long double>(w.W00) * cells[0] +
                                               static_cast<long double>(w.W10) * cells[1] +
                                               static_cast<long double>(w.W01) * cells[2] +
                                               static_cast<long double>(w.W11) * cells[3]);
        }
    }
    const std::array<int, 3> cell{op.RPM_RT, op.TRT_RT, op.DAD_RT};
    if (cell != s_.LastCell) {
        s_.LastCell = cell;
        notices.cellChanged = true;
    }
}

void LearningEngine::Gate(const LiveRecord& live, const LearningOptions& options, bool educations) {
    if (options.learnCoolant > live.FsensorCoolantTemp)
        s_.AllowLearning = false;
    if (live.flag_fuelOFF == 1)
        s_.AllowLearning = false;
    if (!educations)
        s_.AllowLearning = false;
    if (options.target != WriteTarget::Olt && options.target != WriteTarget::RamPcn) {
        s_.AllowLearning = false;
    }
}

bool LearningEngine::Stationarity(const LiveRecord& live, const LearningOptions& options) {
    const int load = s_.op.LoadIndex;
    const int rpm = s_.op.RPM_RT;
    const double tps = live.FsensorThrottlePosition;
    const bool jumped =
        std::abs(load - s_.PrevLoadIndex) > 1 || std::abs(rpm - s_.PrevRpmIndex) > 1;
    const bool reset = jumped || live.flag_fuelOFF == 1 || live.FsensorCoeffCorrGTC_HI > 0 ||
                       (tps < 2.0 && options.skipBelow2Tps) || (tps < 1.0 && live.flag_XX == 0);
    if (reset) {
        s_.count_log = 0;
        s_.LambdaWindow.clear();
        s_.AllowLearning = false;
    }
    // A reset record is never a sample, so one steady record is what the cycle as given asks.
    s_.steadyRecords = reset ? 0 : s_.steadyRecords + 1;
    if (s_.steadyRecords < options.stationaryRecords)
        s_.AllowLearning = false;
    s_.PrevLoadIndex = load;
    s_.PrevRpmIndex = rpm;
    return jumped;
}

void LearningEngine::Learn(ConnectionLearningState& conn, LearningLink& link,
                           const LiveRecord& live, const LearningImage& image,
                           const LearningOptions& options, Notices& notices) {
    const int c = s_.op.RPM_RT;
    const int r = s_.op.LoadIndex;
    if (!InTable(c, r)) {
        s_.AllowLearning = false;
        return;
    }
    std::lock_guard lock(gridsMutex_);
    const char sep = DecimalSeparator();
    PcnGrids grids{grids_.SG_PCN, grids_.SG_BCN, grids_.SG_RT, grids_.RzStringGrid2};
    if (const auto bad = FindBadCell(grids, c, r, sep)) {
        s_.AllowLearning = false;
        const int grid = std::string(bad->grid) == "SG_PCN" ? 0 : 1;
        if (s_.reportedCells.insert({grid, bad->col * 100 + bad->row}).second) {
            notices.badCells.push_back(BadCellMessage(*bad));
        }
        return;
    }
    notices.gridsChanged = true;
    if (!LearningSample(s_, conn, options, grids, sep))
        return;
    const UpdateTarget target{options.target, options.autoSmoothing, image.FlagPcnGridDad,
                              image.addresses.StartAddrPCN};
    TableUpdateObserver* observer = nullptr;
    {
        std::lock_guard config(configMutex_);
        observer = updateObserver_;
    }
    if (observer != nullptr)
        observer->UpdateStarting();
    RunPcnUpdate(s_, conn, target, live.FsensorAirCycleRate, grids, link, sep);
    if (observer != nullptr)
        observer->UpdateDone();
}

void LearningEngine::WriteLogRow(ConnectionLearningState& conn, LearningLambda* lambda,
                                 SessionLog* log, const LiveRecord& live, const LogTime& time,
                                 Notices& notices) {
    if (log == nullptr)
        return;
    CycleLogValues v;
    v.RPM_RT = s_.op.RPM_RT;
    v.TRT_RT = s_.op.TRT_RT;
    v.LC_COrrect = s_.LC_COrrect;
    v.DAD_RT = s_.op.DAD_RT;
    v.PCN_FIRM = s_.PcnInterp;
    v.RamRewriteMark = s_.RamRewriteMark;
    v.OltRewriteMark = s_.OltRewriteMark;
    v.RPM_RT_32 = s_.op.RPM_RT_32;
    v.T1 = s_.T.T1;
    v.T2 = s_.T.T2;
    v.T3 = s_.T.T3;
    v.T4 = s_.T.T4;
    v.COEFF_B1S1 = s_.COEFF_B1S1;
    v.view = s_.view;
    const double lambdaAfr = lambda != nullptr ? lambda->Reading().AFR : 0.0;
    const bool ok = log->SaveLog(BuildLogRow(time, live, lambdaAfr, v));
    if (!ok && !conn.logFailing) {
        // The cycle goes on; the next row tries the file again.
        notices.logStatus =
            std::string(kLogWriteFailed) + log->Path().string() + " (" + log->LastError() + ")";
    } else if (ok && conn.logFailing) {
        notices.logStatus = std::string();
    }
    conn.logFailing = !ok;
}

void LearningEngine::Report(Notices& notices) {
    LearningView* view = nullptr;
    {
        std::lock_guard lock(configMutex_);
        view = view_;
    }
    if (view == nullptr)
        return;
    for (const std::string& text : notices.badCells)
        view->CellNotNumber(text);
    if (notices.cellChanged)
        view->CellChanged();
    if (notices.gridsChanged)
        view->GridsChanged();
    if (notices.logStatus)
        view->LogStatus(*notices.logStatus);
    if (notices.shown)
        view->RecordProcessed(*notices.shown);
}

}  // namespace veltrano
