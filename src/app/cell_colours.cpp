#include "app/cell_colours.h"

#include "app/precise_colours.h"

namespace veltrano {
namespace {

bool InTable16(int c, int r) {
    return c >= 1 && c <= 16 && r >= 1 && r <= 16;
}

std::optional<CellColour> SharedRules(PaintedGrid g, int c, int r, const PaintState& s) {
    std::optional<CellColour> out;
    const bool pcn = g == PaintedGrid::PCN, rt = g == PaintedGrid::RT;
    const bool shdk = g == PaintedGrid::Shdk, bcn = g == PaintedGrid::BCN;
    // 1. Learning hits.
    if (InTable16(c, r) && s.LearnHits[c][r] > 1 && (pcn || rt || shdk))
        out = pcn ? CellColour{kHitGreen, 1, 2} : CellColour{kHitGreen};
    // The precise mode's map of confidence, tuned and locked cells.
    if (rt && s.preciseMode && InTable16(c, r)) {
        if (const auto colour = PreciseCellColour(s.precise[c][r]))
            out = CellColour{*colour};
    }
    // 2. Fuel operating point.
    const OperatingCell& op = s.op;
    if (c == op.RPM_RT && r == op.LoadIndex && InTable16(op.RPM_RT, op.LoadIndex)) {
        if (pcn || rt)
            out = CellColour{s.LearnHits[op.RPM_RT][op.LoadIndex] > 1 ? kPointPurple : kPointGreen};
        if (shdk || bcn)
            out = CellColour{kPointGreen};
    }
    // 3. Ignition and target-mixture operating point.
    const int row = s.FlagDadUozAfr ? op.DAD_RT : op.TRT_RT;
    if (c == op.RPM_RT && r == row && (g == PaintedGrid::AFR || g == PaintedGrid::UOZ || bcn))
        out = CellColour{kPointGreen};
    // 4. Movement.
    if (pcn && s.rememberMovement && InTable16(c, r) && s.MovementMap[c][r] > 0)
        out = CellColour{kMovementBlue};
    return out;
}

}  // namespace

std::optional<CellColour> PaintCell(PaintedGrid grid, int c, int r, const PaintState& s) {
    if (!s.EcuConnected)
        return std::nullopt;
    switch (grid) {
        case PaintedGrid::PcnTrt:
            if (c == s.op.RPM_RT && r == s.op.TRT_RT)
                return CellColour{kThrottleTint};
            return std::nullopt;
        case PaintedGrid::Pcn32x32:
            if (c == s.op.RPM_RT_32 && r == s.op.DAD_RT_32)
                return CellColour{kPointGreen};
            return std::nullopt;
        case PaintedGrid::Pcn32:
        case PaintedGrid::Other:
            return std::nullopt;
        default:
            return SharedRules(grid, c, r, s);
    }
}

}  // namespace veltrano
