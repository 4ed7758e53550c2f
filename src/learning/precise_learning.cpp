#include "learning/precise_learning.h"

#include <algorithm>
#include <cmath>

namespace veltrano {
namespace {

constexpr double kWriteSettleSeconds = 0.25;  // request, write and first injection
constexpr double kAgree = 0.02;
constexpr double kTuned = 0.01;
constexpr double kTunedInformation = 2.0;
constexpr double kLeastInformation = 0.4;  // weighted squared shares a cell needs to move
// A cell moves this share of the way to its estimate: information / (information + this).
constexpr double kStepInformation = 0.75;
constexpr double kHold = 0.01;        // a cell's present value weighs as a hundredth of a reading
constexpr double kLeastShare = 0.05;  // a reading must give some free cell this share
constexpr double kLargestFactorError = 0.35;
// The scatter of a reading's factor that a blurred point adds to without much harm.
constexpr double kReadingScatter = 0.02;
constexpr double kLowest = 0.2;  // the table's limits
constexpr double kHighest = 1.9;

bool Inside(int c, int r) {
    return c >= 1 && c <= 16 && r >= 1 && r <= 16;
}

}  // namespace

double BlurWeight(const PointRecord& at, const CellValues& values, double blend) {
    if (!(blend > 0))
        return 1;
    const int c1 = std::min(at.c + 1, 16), r1 = std::min(at.r + 1, 16);
    const double x = std::clamp(at.rpmFrac, 0.0, 1.0), y = std::clamp(at.loadFrac, 0.0, 1.0);
    const double v00 = values(at.c, at.r), v10 = values(c1, at.r);
    const double v01 = values(at.c, r1), v11 = values(c1, r1);
    const double alongRpm = (1 - y) * (v10 - v00) + y * (v11 - v01);
    const double alongLoad = (1 - x) * (v01 - v00) + x * (v11 - v10);
    const double shift =
        (std::fabs(alongRpm) * at.rpmBlur + std::fabs(alongLoad) * at.loadBlur) / blend;
    const double ratio = shift / kReadingScatter;
    return 1 / (1 + ratio * ratio);
}

void PreciseLearning::Reset(const std::array<double, 256>* asOpened) {
    ring_.Clear();
    cells_ = {};
    lastTransient_ = -1e300;
    lastTaken_ = -1e300;
    samples_ = 0;
    fits_.Clear();
    pinned_.clear();
    if (asOpened == nullptr)
        return;
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c)
            cells_[c][r].origin = (*asOpened)[(r - 1) * 16 + c - 1];
    }
}

void PreciseLearning::SetUserLock(int c, int r, bool locked) {
    if (!Inside(c, r))
        return;
    cells_[c][r].userLocked = locked;
    if (!locked)
        cells_[c][r].autoLocked = false;
}

void PreciseLearning::Remember(const PointRecord& record) {
    ring_.Push(record);
    if (record.transient)
        lastTransient_ = record.t;
}

double PreciseLearning::CreditDelayMs(double rpm, double kpa, const PreciseOptions& options) {
    return options.delays.DelayMs(rpm, kpa) + options.probeLagMs;
}

PreciseVerdict PreciseLearning::Offer(double now, const PreciseReading& reading,
                                      const PreciseOptions& options, const CellValues& values) {
    const PreciseVerdict verdict = Judge(now, reading, options, values);
    verdicts_[static_cast<int>(verdict)] += 1;
    return verdict;
}

PreciseVerdict PreciseLearning::Judge(double now, const PreciseReading& reading,
                                      const PreciseOptions& options, const CellValues& values) {
    if (!reading.admitted)
        return PreciseVerdict::NotAdmitted;
    // A reading is new once at least half of what the probe shows is gas the last reading
    // taken did not see: after ln 2 of the probe's lag. A source with a value every record
    // (the narrowband) would otherwise count the same gas several times, and gather
    // confidence, and move far-off cells, on it.
    if (now - lastTaken_ < std::log(2.0) * options.probeLagMs / 1000.0)
        return PreciseVerdict::TooSoon;
    const double delay = CreditDelayMs(reading.rpm, reading.kpa, options) / 1000.0;
    const PointRecord* at = ring_.At(now - delay);
    if (at == nullptr)
        return PreciseVerdict::NoEarlierPoint;
    if (!at->admitted || !Inside(at->c, at->r))
        return PreciseVerdict::NotAdmitted;
    // Gas burned during the transient, or while the mixture still settled after it, is on
    // its way to the probe until one delay after the hold-off.
    if (now - lastTransient_ < delay + options.holdOffMs / 1000.0)
        return PreciseVerdict::AfterTransient;
    double factor = reading.trim;
    if (reading.measuredAfr > 0) {
        if (!(at->targetAfr > 0))
            return PreciseVerdict::NotAdmitted;
        factor = reading.measuredAfr / at->targetAfr;
    }
    if (!(std::fabs(factor - 1) < kLargestFactorError))
        return PreciseVerdict::Outlier;

    const PointShares shares = BilinearShares(at->c, at->r, at->rpmFrac, at->loadFrac);
    double blend = 0;
    bool anyFree = false;
    for (int i = 0; i < shares.count; ++i) {
        const CellShare& s = shares.cells[i];
        const PreciseCell& cell = cells_[s.c][s.r];
        const double value = values(s.c, s.r);
        blend += s.share * value;
        if (cell.Locked() || s.share <= 0)
            continue;
        anyFree = anyFree || s.share >= kLeastShare;
        // The gas was burned before this cell's last change took effect.
        if (at->t < cell.changedAt + kWriteSettleSeconds)
            return PreciseVerdict::CellJustChanged;
    }
    if (!anyFree)
        return PreciseVerdict::AllLocked;
    // A pinned narrowband reading is only a bound: it moves the cells towards it in the next
    // update and is then forgotten, or it would hold a far-off cell near the bound. A bound
    // is off by more than any blur of the point could make it, so it counts in full.
    const double weight = reading.pinned ? 1.0 : BlurWeight(*at, values, blend);
    if (reading.pinned)
        pinned_.push_back({shares, blend * factor, weight});
    else
        fits_.Add({shares, blend * factor, weight});
    for (int i = 0; i < shares.count; ++i)
        cells_[shares.cells[i].c][shares.cells[i].r].weight += weight * shares.cells[i].share;
    ++samples_;
    lastTaken_ = now;
    return PreciseVerdict::Taken;
}

std::vector<PreciseChange> PreciseLearning::Update(double now, const PreciseOptions& options,
                                                   const CellValues& values) {
    std::vector<PreciseChange> changes;
    const auto locked = [this](int c, int r) { return cells_[c][r].Locked(); };
    for (const CellFit& fit : fits_.Solve(values, locked, kHold, pinned_)) {
        if (fit.information >= kLeastInformation)
            MoveCell(cells_[fit.c][fit.r], fit, now, options, changes);
    }
    for (auto& column : cells_) {
        for (PreciseCell& cell : column)
            cell.weight = 0;
    }
    samples_ = 0;
    pinned_.clear();
    return changes;
}

void PreciseLearning::MoveCell(PreciseCell& cell, const CellFit& fit, double now,
                               const PreciseOptions& options, std::vector<PreciseChange>& changes) {
    const double value = fit.value;
    if (!(value > 0) || !(fit.estimate > 0))
        return;
    // Successive estimates that agree raise the confidence; as every estimate stands on all
    // readings so far, a confident cell's estimate, and so its step, moves little.
    const double drift = cell.estimate > 0 ? std::fabs(fit.estimate / cell.estimate - 1) : 1.0;
    cell.agreeing = drift <= kAgree ? cell.agreeing + 1 : 0;
    cell.estimate = fit.estimate;
    const double wanted = fit.estimate / value - 1;
    // Tuned: the cell already holds what two successive estimates, on a fair number of
    // readings, agree on within 1 %.
    const bool settled =
        drift <= kTuned && std::fabs(wanted) <= kTuned && fit.information >= kTunedInformation;
    if (settled && cell.settled) {
        cell.tuned = true;
        cell.autoLocked = options.lockWhenTuned;
    }
    cell.settled = settled;

    // A cell the readings barely pin creeps towards an estimate that is mostly its
    // neighbours' extrapolation; a well-seen one goes most of the way.
    const double share = fit.information / (fit.information + kStepInformation);
    const double step = std::clamp(wanted * share, -options.stepLimit, options.stepLimit);
    if (cell.origin <= 0)
        cell.origin = value;
    double next = value * (1 + step);
    next = std::clamp(next, cell.origin * (1 - options.totalLimit),
                      cell.origin * (1 + options.totalLimit));
    next = std::clamp(next, kLowest, kHighest);
    if (next != value) {
        changes.push_back({fit.c, fit.r, value, next});
        cell.changedAt = now;
    }
}

PreciseMap PreciseLearning::Map() const {
    PreciseMap map{};
    for (int c = 1; c <= 16; ++c) {
        for (int r = 1; r <= 16; ++r) {
            const PreciseCell& cell = cells_[c][r];
            PreciseCellView& v = map[c][r];
            v.learned = cell.estimate > 0;
            v.confidence = std::min(1.0, cell.agreeing / 3.0);
            v.tuned = cell.tuned;
            v.locked = cell.Locked();
        }
    }
    return map;
}

}  // namespace veltrano
