#include "learning/precise_learning.h"

#include <algorithm>
#include <cmath>

namespace veltrano {
namespace {

constexpr double kWriteSettleSeconds = 0.25;  // request, write and first injection
constexpr double kMinCellWeight = 0.75;       // samples' shares a cell needs to move
constexpr double kAgree = 0.02;
constexpr double kTuned = 0.01;
constexpr double kTunedWeight = 2.0;
constexpr double kLargestFactorError = 0.35;
constexpr double kLowest = 0.2;  // the table's limits
constexpr double kHighest = 1.9;

bool Inside(int c, int r) {
    return c >= 1 && c <= 16 && r >= 1 && r <= 16;
}

}  // namespace

void PreciseLearning::Reset(const std::array<double, 256>* asOpened) {
    ring_.Clear();
    cells_ = {};
    lastTransient_ = -1e300;
    samples_ = 0;
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
    const PointShares shares = BilinearShares(at->c, at->r, at->rpmFrac, at->loadFrac);
    for (int i = 0; i < shares.count; ++i) {
        if (at->t < cells_[shares.cells[i].c][shares.cells[i].r].changedAt + kWriteSettleSeconds)
            return PreciseVerdict::CellJustChanged;
    }
    double factor = reading.trim;
    if (reading.measuredAfr > 0) {
        if (!(at->targetAfr > 0))
            return PreciseVerdict::NotAdmitted;
        factor = reading.measuredAfr / at->targetAfr;
    }
    if (!(std::fabs(factor - 1) < kLargestFactorError))
        return PreciseVerdict::Outlier;

    std::array<double, 4> now4{};
    std::array<bool, 4> locked{};
    bool anyFree = false;
    for (int i = 0; i < shares.count; ++i) {
        const CellShare& s = shares.cells[i];
        now4[i] = values(s.c, s.r);
        locked[i] = cells_[s.c][s.r].Locked() || !(now4[i] > 0);
        anyFree = anyFree || (!locked[i] && s.share > 0);
    }
    if (!anyFree)
        return PreciseVerdict::AllLocked;
    const std::array<double, 4> solved = SolveCorrection(shares, now4, factor, locked);
    for (int i = 0; i < shares.count; ++i) {
        const CellShare& s = shares.cells[i];
        if (locked[i] || s.share <= 0)
            continue;
        PreciseCell& cell = cells_[s.c][s.r];
        cell.sum += s.share * (solved[i] / now4[i] - 1);
        cell.weight += s.share;
    }
    ++samples_;
    return PreciseVerdict::Taken;
}

std::vector<PreciseChange> PreciseLearning::Update(double now, const PreciseOptions& options,
                                                   const CellValues& values) {
    std::vector<PreciseChange> changes;
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 16; ++c) {
            PreciseCell& cell = cells_[c][r];
            if (cell.weight >= kMinCellWeight && !cell.Locked())
                MoveCell(cell, c, r, now, options, values, changes);
            cell.sum = 0;
            cell.weight = 0;
        }
    }
    samples_ = 0;
    return changes;
}

void PreciseLearning::MoveCell(PreciseCell& cell, int c, int r, double now,
                               const PreciseOptions& options, const CellValues& values,
                               std::vector<PreciseChange>& changes) {
    const double value = values(c, r);
    if (!(value > 0))
        return;
    const double wanted = cell.sum / cell.weight;
    const double estimate = value * (1 + wanted);
    const double drift = cell.lastEstimate > 0 ? std::fabs(estimate / cell.lastEstimate - 1) : 1.0;
    cell.agreeing = drift <= kAgree ? cell.agreeing + 1 : 0;
    // Tuned: the cell already holds what two successive estimates, each from a fair number of
    // samples, agree on within 1 %.
    const bool settled = drift <= kTuned && std::fabs(wanted) <= kTuned &&
                         cell.weight >= kTunedWeight && cell.lastWeight >= kTunedWeight;
    if (settled && cell.settled) {
        cell.tuned = true;
        cell.autoLocked = options.lockWhenTuned;
    }
    cell.settled = settled;
    cell.lastEstimate = estimate;
    cell.lastWeight = cell.weight;

    // Confidence shrinks the step: agreeing estimates are followed ever more gently.
    const double gain = 1.0 / (1.0 + 0.5 * cell.agreeing);
    const double step = std::clamp(gain * wanted, -options.stepLimit, options.stepLimit);
    if (cell.origin <= 0)
        cell.origin = value;
    double next = value * (1 + step);
    next = std::clamp(next, cell.origin * (1 - options.totalLimit),
                      cell.origin * (1 + options.totalLimit));
    next = std::clamp(next, kLowest, kHighest);
    if (next != value) {
        changes.push_back({c, r, value, next});
        cell.changedAt = now;
    }
}

PreciseMap PreciseLearning::Map() const {
    PreciseMap map{};
    for (int c = 1; c <= 16; ++c) {
        for (int r = 1; r <= 16; ++r) {
            const PreciseCell& cell = cells_[c][r];
            PreciseCellView& v = map[c][r];
            v.learned = cell.lastEstimate > 0;
            v.confidence = std::min(1.0, cell.agreeing / 3.0);
            v.tuned = cell.tuned;
            v.locked = cell.Locked();
        }
    }
    return map;
}

}  // namespace veltrano
