#include "app/precise_colours.h"

#include <algorithm>
#include <cmath>

namespace veltrano {

std::optional<Rgb> PreciseCellColour(const PreciseCellView& cell) {
    if (cell.locked)
        return kLockedSlate;
    if (cell.tuned)
        return kTunedTeal;
    if (!cell.learned)
        return std::nullopt;
    const double k = std::clamp(cell.confidence, 0.0, 1.0);
    auto mix = [k](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * k)); };
    return Rgb{mix(kUnsureAmber.r, kSureGreen.r), mix(kUnsureAmber.g, kSureGreen.g),
               mix(kUnsureAmber.b, kSureGreen.b)};
}

}  // namespace veltrano
