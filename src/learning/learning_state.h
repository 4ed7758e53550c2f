// The learning cycle's state: what lives as long as the program (it survives reconnects)
// and what starts again with every connection.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "learning/learning_gate.h"
#include "learning/operating_point.h"
#include "log/live_values.h"

namespace veltrano {

// Per-cell counters indexed [c][r], c and r 1..16 (index 0 unused).
using CellCounts = std::array<std::array<std::int32_t, 17>, 17>;

inline void FillCounts(CellCounts& counts, std::int32_t v) {
    for (auto& column : counts)
        column.fill(v);
}

struct ProgramLearningState {
    OperatingCell op;
    WeightAverages T;
    CellWeights weights;  // this record's smoothed weights
    double PcnInterp = 0;
    std::array<int, 3> LastCell{};  // RPM_RT, TRT_RT, DAD_RT of the last repaint
    CellCounts MovementMap{};
    CellCounts LearnHits{};

    int count_log = 0;
    double LC_COrrect = 0;
    bool AllowLearning = false;
    double COEFF_B1S1 = 0;
    int RamRewriteMark = 0;
    int OltRewriteMark = 0;
    int PrevLoadIndex = 0;
    int PrevRpmIndex = 0;
    int steadyRecords = 0;  // records since the last stationarity reset, this one included

    std::vector<double> LambdaWindow;
    std::array<std::vector<double>, 4> WeightLog;  // W00, W10, W01, W11 since the last update
    double LambdaWindowMean = 0;                   // shown in RzPanel5
    int SmoothCount = 0;

    LiveViewValues view;
    bool RamStatusShown = false;

    // Grid cells already reported as not holding a number: (grid id, c * 100 + r).
    std::set<std::pair<int, int>> reportedCells;

    // Totals for summaries.
    long records = 0;
    long samples = 0;
    long updates = 0;
    long writesRequested = 0;
};

struct ConnectionLearningState {
    AxisFractions frac;
    double LambdaCoeff = 0;
    double NarrowbandAfr = 0;
    std::uint64_t lastSequence = 0;       // live record last processed
    long recordsSinceReading = 1L << 30;  // records since the last wideband reading
    bool logFailing = false;              // the last log row could not be written
    GateCounts gateCounts{};              // records per refusing gate since connect
};

}  // namespace veltrano
