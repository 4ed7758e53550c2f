// What the engine needs in each cell, fitted to every mixture reading so far. A reading
// says what the bilinear blend of its four cells should have been when the gas was burned;
// that stays true however the table changes later. The cells are solved together (least
// squares, gently held to their present values), so a cell seen only at the edge of points
// its neighbour dominates is not dragged along by the neighbour's error, and readings taken
// elsewhere in the cell keep counting.
#pragma once

#include <functional>
#include <vector>

#include "learning/cell_shares.h"

namespace veltrano {

struct CellFit {
    int c = 0;
    int r = 0;
    double value = 0;        // present value
    double estimate = 0;     // what the readings ask it to hold
    double information = 0;  // sum of its squared shares over the readings, weighted
    // How loosely the readings pin the estimate: its variance over that of one reading.
    // Large while the readings cannot tell the cell from its neighbours.
    double spread = 0;
};

// A reading: its cells' shares and the value their blend should have had.
struct BlendReading {
    PointShares shares;
    double needed = 0;
    double weight = 1;  // how much the reading counts in the fit and its information, 0..1
};

class CellRegression {
  public:
    CellRegression();
    void Clear();
    void Add(const BlendReading& reading);
    // Every cell with readings that `fixed` does not hold, fitted. `values` gives the
    // present values; `hold` weighs each free cell's present value as a reading of its own
    // would, so that cells the readings barely tell apart stay near it. `passing` readings
    // count in this fit only.
    std::vector<CellFit> Solve(const std::function<double(int, int)>& values,
                               const std::function<bool(int, int)>& fixed, double hold,
                               const std::vector<BlendReading>& passing = {}) const;

  private:
    static constexpr int kCells = 256;
    std::vector<double> normal_;  // kCells × kCells, row-major
    std::vector<double> rhs_;
};

}  // namespace veltrano
