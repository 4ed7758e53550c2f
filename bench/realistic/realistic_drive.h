// The learning cycle on the realistic engine in simulated time: the simulator's engine model
// burns the mixture the ECU's tables meter, its live data blocks are decoded by the link's
// decoder, the wideband reading comes every LC-1 packet, and each table write reaches the
// engine after the link's write time. No pseudo-terminals, no waiting: an hour of driving
// runs in seconds.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "learning/learning_engine.h"
#include "learning/learning_options.h"

namespace veltrano {

struct DriveSetup {
    LambdaSource source = LambdaSource::Shdk;
    LearningMode mode = LearningMode::Alg2;
    WriteTarget target = WriteTarget::Olt;
    unsigned seed = 1;
    double recordSeconds = 0.04;      // one live record per poll cycle
    double readingSeconds = 0.08192;  // LC-1 packet period
    double writeSeconds = 0.12;       // from the request to the table in the ECU
    bool realistic = true;            // false: the plain engine (flat error, no delay)
    double flatErrorPercent = 10;     // the plain engine's error
};

// Mixture error of the table in use around a cell: |needed / given - 1| as the engine burns
// it at the steady points of a lap, weighted by their shares of the cell.
struct CellMixtureError {
    int c = 0;
    int r = 0;
    double error = 0;
};

class RealisticDrive {
  public:
    explicit RealisticDrive(const DriveSetup& setup);
    ~RealisticDrive();

    // One live record through the cycle.
    void Record();
    double Seconds() const;
    long Records() const;
    LearningEngine& Engine();
    ProgramLearningState State() const;

    // Cells a lap dwells in for at least 25 records' worth of bilinear share (steady
    // running only), as [c, r] of the learned table.
    std::vector<CellMixtureError> VisitedErrors() const;
    // For each visited cell, in ascending order, the record of the first lap by which it
    // has had a record's worth of share: no rule can have it right much before.
    std::vector<long> CellsReached() const;
    // Overshoot: the largest excursion of a visited cell's mean signed error past zero, to
    // the other side from where it started, as a share of the target mixture.
    double Overshoot() const { return overshoot_; }
    // Updates whose samples included a reading of gas burned during fuel cut or enrichment.
    long TaintedUpdates() const { return taintedUpdates_; }
    // The learned table's cell values, [c, r] 1-based, row-major from index 0.
    std::vector<double> PcnInUse() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    double overshoot_ = 0;
    long taintedUpdates_ = 0;
};

double Mean(const std::vector<CellMixtureError>& cells);
double Percentile95(const std::vector<CellMixtureError>& cells);

}  // namespace veltrano
