// Which colour each table grid paints a cell with while connected, from the operating point
// and the learning statistics.
#pragma once

#include <array>
#include <optional>

#include "learning/operating_point.h"

namespace veltrano {

enum class PaintedGrid { BCN, PCN, AFR, UOZ, RT, PcnTrt, Shdk, Pcn32, Pcn32x32, Other };

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kHitGreen{0, 255, 127};
inline constexpr Rgb kPointGreen{51, 153, 0};
inline constexpr Rgb kPointPurple{128, 0, 128};
inline constexpr Rgb kMovementBlue{196, 228, 255};
// Darker than a plain tint so that the throttle table's current cell stands out.
inline constexpr Rgb kThrottleTint{120, 200, 200};

struct CellColour {
    Rgb fill;
    int textDx = 6;
    int textDy = 6;
    bool operator==(const CellColour&) const = default;
};

// What the painting reads; indices [c][r] with c and r from 1 to 16.
struct PaintState {
    bool EcuConnected = false;
    OperatingCell op;
    std::array<std::array<int, 17>, 17> LearnHits{};
    std::array<std::array<int, 17>, 17> MovementMap{};
    bool rememberMovement = false;  // "Запомнить движение"
    bool FlagDadUozAfr = false;
};

// The colour of cell (c, r) of the grid; nullopt: drawn by default.
std::optional<CellColour> PaintCell(PaintedGrid grid, int c, int r, const PaintState& s);

}  // namespace veltrano
