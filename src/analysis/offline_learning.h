// Learning over a recorded log: the learning cycle runs over the log's rows as it would have
// on-line, on a copy of the current fuel table, and proposes the table it ends with.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/log_table.h"
#include "calibration/calibration_grids.h"
#include "learning/learning_engine.h"

namespace veltrano {

struct OfflineLearningResult {
    TextGrid SG_PCN{17, 17};                 // the proposed table, labels included
    std::array<std::uint8_t, 256> before{};  // row-major bytes of the current table
    std::array<std::uint8_t, 256> after{};   // and of the proposed one
    long records = 0;
    long samples = 0;
    long updates = 0;
    long cellsChanged = 0;
    GateCounts gates{};  // records per refusing gate; Admitted counts the samples
    // Rows whose rewrite marks show a table write this run did not make (edits by hand).
    long unexplainedRewrites = 0;
    // The values the cycle needs that the log does not hold, and what was used instead.
    std::vector<std::string> standIns;
    bool ok = true;
    std::string error;  // a grid cell that is not a number
};

// Returns false to stop (the result then holds what was learned so far).
using OfflineProgress = std::function<bool(double)>;

// `grids`: the current grids; SG_PCN, SG_BCN, SG_RT and RzStringGrid2 are copied and
// learned on. The write target is taken as "OLT" when none is chosen, and learning as
// switched on; the other options act as on-line.
OfflineLearningResult LearnFromLog(const LogTable& log, const CalibrationGrids& grids,
                                   const LearningImage& image, LearningOptions options, char sep,
                                   const OfflineProgress& progress = {});

}  // namespace veltrano
