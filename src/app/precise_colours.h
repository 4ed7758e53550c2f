// The RT grid's colours for the precise mode: how sure learning is of each cell.
#pragma once

#include <optional>

#include "app/cell_colours.h"
#include "learning/precise_learning.h"

namespace veltrano {

inline constexpr Rgb kLockedSlate{150, 165, 215};  // locked, by the user or once tuned
inline constexpr Rgb kTunedTeal{64, 190, 170};     // "настроена"
inline constexpr Rgb kUnsureAmber{255, 214, 120};  // learned, no confidence yet
inline constexpr Rgb kSureGreen{170, 232, 150};    // learned, full confidence

// nullopt: a cell learning has not reached.
std::optional<Rgb> PreciseCellColour(const PreciseCellView& cell);

}  // namespace veltrano
