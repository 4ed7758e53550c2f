// Where the engine runs in the 16x16 and 32x32 tables, and the shares of the four cells
// around that point.
#pragma once

#include <array>
#include <cstdint>

namespace veltrano {

// The image's axes, copied once so the cycle never reads the image while it changes.
struct LearningAxes {
    std::array<std::int32_t, 16> FRPMAxis{};
    std::array<std::int32_t, 16> FThrottleAxis{};
    std::array<std::int32_t, 16> FDADAxis{};
    std::array<std::int32_t, 32> FRPMAxis_32{};
    std::array<std::int32_t, 32> FdadAxis_32{};
};

// 1-based cell indices; 0 until a search first succeeds.
struct OperatingCell {
    int RPM_RT = 0;
    int TRT_RT = 0;
    int DAD_RT = 0;
    int RPM_RT_32 = 0;
    int DAD_RT_32 = 0;
    int LoadIndex = 0;
};

// Position between the cell's axis point and the next one; kept from record to record.
struct AxisFractions {
    double RpmFrac = 0;
    double TrtFrac = 0;
    double DadFrac = 0;
    double LoadFrac = 0;
};

// Shares of the cells [c, r], [c+1, r], [c, r+1], [c+1, r+1].
struct CellWeights {
    double W00 = 0;
    double W10 = 0;
    double W01 = 0;
    double W11 = 0;
};

// Running averages of the four weights in percent.
struct WeightAverages {
    double T1 = 0;
    double T2 = 0;
    double T3 = 0;
    double T4 = 0;
};

// The live values one record contributes to the search.
struct OperatingInputs {
    double pressure = 0;  // kPa
    double throttle = 0;  // %
    double rpm = 0;
};

// Steps 1 to 3: cell indices on every axis and the three fractions.
void LocateOperatingPoint(const LearningAxes& axes, const OperatingInputs& in, bool flagDad,
                          OperatingCell& op, AxisFractions& frac);

// A weight rounded to three decimals by its "##.#00" text.
double RoundWeight(double w);

// Step 4: bilinear weights, rounded, folded into the running averages; returns the
// smoothed weights the update uses. Also sets LoadFrac.
CellWeights SmoothWeights(AxisFractions& frac, bool flagPcnGridDad, WeightAverages& avg);

// Step 5.
inline int LoadIndexOf(const OperatingCell& op, bool flagPcnGridDad) {
    return flagPcnGridDad ? op.DAD_RT : op.TRT_RT;
}

// True when c and r name a table cell (1..16).
inline bool InTable(int c, int r) {
    return c >= 1 && c <= 16 && r >= 1 && r <= 16;
}

}  // namespace veltrano
