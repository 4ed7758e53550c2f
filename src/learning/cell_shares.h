// How one mixture reading at a point between four cells corrects them: bilinear shares in
// cell units and the smallest change that makes the interpolated value meet the target.
#pragma once

#include <array>

namespace veltrano {

// A cell (1..16 each way) and its share of the point.
struct CellShare {
    int c = 0;
    int r = 0;
    double share = 0;
};

// Up to four cells; cells beyond the table give their share to the one inside it.
struct PointShares {
    std::array<CellShare, 4> cells{};
    int count = 0;
};

// The shares of [c, r], [c+1, r], [c, r+1] and [c+1, r+1] for a point at the given
// fractions (0..1) of the cell; they sum to 1.
PointShares BilinearShares(int c, int r, double rpmFrac, double loadFrac);

// New values for the cells with the given shares and values such that the interpolated
// value becomes `factor` times what it was, changing each free cell in proportion to its
// share (the least squared change). Locked cells keep their values; with every sharing
// cell locked nothing changes.
std::array<double, 4> SolveCorrection(const PointShares& shares,
                                      const std::array<double, 4>& values, double factor,
                                      const std::array<bool, 4>& locked);

}  // namespace veltrano
