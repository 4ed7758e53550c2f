#include "learning/cell_shares.h"

#include <algorithm>

namespace veltrano {

PointShares BilinearShares(int c, int r, double rpmFrac, double loadFrac) {
    const double x = std::clamp(rpmFrac, 0.0, 1.0);
    const double y = std::clamp(loadFrac, 0.0, 1.0);
    const CellShare corners[4] = {{c, r, (1 - x) * (1 - y)},
                                  {std::min(c + 1, 16), r, x * (1 - y)},
                                  {c, std::min(r + 1, 16), (1 - x) * y},
                                  {std::min(c + 1, 16), std::min(r + 1, 16), x * y}};
    PointShares out;
    for (const CellShare& corner : corners) {
        auto same =
            std::find_if(out.cells.begin(), out.cells.begin() + out.count,
                         [&](const CellShare& s) { return s.c == corner.c && s.r == corner.r; });
        if (same != out.cells.begin() + out.count)
            same->share += corner.share;
        else
            out.cells[out.count++] = corner;
    }
    return out;
}

std::array<double, 4> SolveCorrection(const PointShares& shares,
                                      const std::array<double, 4>& values, double factor,
                                      const std::array<bool, 4>& locked) {
    double interpolated = 0;
    double freeSquares = 0;
    for (int i = 0; i < shares.count; ++i) {
        interpolated += shares.cells[i].share * values[i];
        if (!locked[i])
            freeSquares += shares.cells[i].share * shares.cells[i].share;
    }
    std::array<double, 4> out = values;
    if (freeSquares <= 0)
        return out;
    const double scale = interpolated * (factor - 1) / freeSquares;
    for (int i = 0; i < shares.count; ++i) {
        if (!locked[i])
            out[i] = values[i] + shares.cells[i].share * scale;
    }
    return out;
}

}  // namespace veltrano
