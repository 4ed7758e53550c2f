// The learning sample and the fuel-fill correction update.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "calibration/text_grid.h"
#include "learning/learning_link.h"
#include "learning/learning_options.h"
#include "learning/learning_state.h"

namespace veltrano {

// The grids learning writes, all 17x17 with labels in row 0 and column 0.
struct PcnGrids {
    TextGrid& SG_PCN;
    TextGrid& SG_BCN;
    TextGrid& SG_RT;
    TextGrid& RzStringGrid2;
};

// Where the update sends the table.
struct UpdateTarget {
    WriteTarget target = WriteTarget::None;
    bool autoSmoothing = false;
    bool flagPcnGridDad = false;
    int layoutStartAddrPCN = 0;  // FirmwareLayout.StartAddrPCN
};

// A grid cell learning needs but that does not hold a number.
struct BadCell {
    const char* grid = "";
    int col = 0;
    int row = 0;
    std::string text;
};

// Checks every PCN cell and the BCN cells the update reads around (c, r).
std::optional<BadCell> FindBadCell(const PcnGrids& grids, int c, int r, char sep);
std::string BadCellMessage(const BadCell& cell);

// Counts one admitted record in the current cell. Returns true when the run is complete
// and the update is due.
bool LearningSample(ProgramLearningState& s, ConnectionLearningState& conn,
                    const LearningOptions& options, PcnGrids& grids, char sep);

// The update of the cell (RPM_RT, LoadIndex) with L = conn.LambdaCoeff; fills the link's
// TablePCN completely, then raises the write request of the selected target.
void RunPcnUpdate(ProgramLearningState& s, const ConnectionLearningState& conn,
                  const UpdateTarget& target, double airCycleRate, PcnGrids& grids,
                  LearningLink& link, char sep);

// Smooths the byte table in place (cells with fewer than three hits), then refreshes every
// SG_PCN cell from it with "##0.00".
void SmoothPcnTable(std::array<std::uint8_t, 256>& table, const CellCounts& hits, TextGrid& SG_PCN,
                    char sep);

}  // namespace veltrano
