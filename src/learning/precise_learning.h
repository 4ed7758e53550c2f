// The precise learning mode: each mixture reading is credited to the operating point one
// exhaust delay earlier, spread over the four cells around that point by their bilinear
// shares, and the cells move in bounded steps that shrink as their estimates agree.
// Cells whose estimates settle are "настроена" and, if asked, locked; the user may lock
// cells too. Readings soon after fuel cut or enrichment, and readings of gas burned before
// a cell's last change reached the engine, are not learned; nor is a reading that follows the
// last one taken well within the probe's lag, which shows much the same gas. A reading
// whose point is blurred where the table is steep counts for less.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "learning/cell_fit.h"
#include "learning/cell_shares.h"
#include "learning/learning_options.h"
#include "learning/record_ring.h"

namespace veltrano {

enum class PreciseVerdict {
    Taken,
    NotAdmitted,      // the cycle's gates refuse the record or the point it is credited to
    NoEarlierPoint,   // the ring does not reach back one delay
    AfterTransient,   // within the hold-off after fuel cut or enrichment
    CellJustChanged,  // the gas was burned before a changed cell took effect
    Outlier,          // a factor no table error explains
    AllLocked,
    TooSoon,  // soon after the last reading taken: much the same gas
};
inline constexpr int kPreciseVerdicts = 8;

struct PreciseCell {
    double weight = 0;     // weighted shares of the readings since the last update
    double estimate = 0;   // the value the readings so far ask for
    bool settled = false;  // the last update found the cell right and its estimate steady
    double origin = 0;     // value in the image as opened; 0: taken at the first change
    double changedAt = -1e300;
    int agreeing = 0;  // successive estimates within 2 % of each other
    bool tuned = false;
    bool userLocked = false;
    bool autoLocked = false;
    bool Locked() const { return userLocked || autoLocked; }
};

// What the grids paint, [c][r] with c and r from 1 to 16.
struct PreciseCellView {
    double confidence = 0;  // 0..1
    bool learned = false;   // changed or estimated at least once
    bool tuned = false;
    bool locked = false;
    bool operator==(const PreciseCellView&) const = default;
};
using PreciseMap = std::array<std::array<PreciseCellView, 17>, 17>;

// A reading offered at `now`.
struct PreciseReading {
    double rpm = 0;  // the point now, for the delay
    double kpa = 0;
    double measuredAfr = 0;  // > 0: the factor is this over the credited point's target
    double trim = 0;         // used when measuredAfr is 0: the factor itself
    bool admitted = false;   // the cycle's gates on the record now
    bool pinned = false;     // the reading is a bound, not a value
};

struct PreciseChange {
    int c = 0;
    int r = 0;
    double before = 0;
    double after = 0;
};

// Reads cell [c, r] of the table being learned.
using CellValues = std::function<double(int c, int r)>;

// How much a reading credited to `at`, whose cells blend to `blend`, counts (0..1). The
// point the ECU used is known only to within the record's blur, and where the table in use
// is steep across it (a learned cell beside one not yet learned) the blend the ECU burned
// may differ from ours by more than a reading scatters: the reading then tells little,
// least of all about a cell it barely touches, whose estimate would carry the error.
double BlurWeight(const PointRecord& at, const CellValues& values, double blend);

class PreciseLearning {
  public:
    // Forgets everything; `asOpened` (row-major, 256 values) bounds the total change.
    void Reset(const std::array<double, 256>* asOpened);
    void SetUserLock(int c, int r, bool locked);
    // Every record, admitted or not.
    void Remember(const PointRecord& record);
    PreciseVerdict Offer(double now, const PreciseReading& reading, const PreciseOptions& options,
                         const CellValues& values);
    // Samples taken since the last update.
    int Samples() const { return samples_; }
    // Moves the cells that gathered samples; returns the cells whose value changed.
    std::vector<PreciseChange> Update(double now, const PreciseOptions& options,
                                      const CellValues& values);

    // Exhaust delay plus the probe's lag at a point, ms.
    static double CreditDelayMs(double rpm, double kpa, const PreciseOptions& options);

    const PreciseCell& Cell(int c, int r) const { return cells_[c][r]; }
    // How many readings got each verdict since the last reset.
    const std::array<long, kPreciseVerdicts>& Verdicts() const { return verdicts_; }
    PreciseMap Map() const;

  private:
    PreciseVerdict Judge(double now, const PreciseReading& reading, const PreciseOptions& options,
                         const CellValues& values);
    void MoveCell(PreciseCell& cell, const CellFit& fit, double now, const PreciseOptions& options,
                  std::vector<PreciseChange>& changes);

    RecordRing ring_;
    std::array<std::array<PreciseCell, 17>, 17> cells_{};
    double lastTransient_ = -1e300;
    double lastTaken_ = -1e300;
    int samples_ = 0;
    CellRegression fits_;
    std::vector<BlendReading> pinned_;  // since the last update
    std::array<long, kPreciseVerdicts> verdicts_{};
};

}  // namespace veltrano
