// Why the learning cycle did not take a record as a sample: the gate that refused it, its
// text for the window and the command line, and the counts per gate.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "learning/learning_options.h"
#include "link/live_record.h"

namespace veltrano {

// In the order the gates are named: the first that holds is the reason.
enum class LearningGate {
    Admitted,       // the record was a learning sample
    LearningOff,    // the learning switch is off
    NoWriteTarget,  // neither "OLT" nor "RAM PCN"
    NoSource,       // no lambda source chosen
    Coolant,        // coolant below "ТОЖ для обучения"
    FuelCut,
    Throttle,       // throttle below 2 % (or below 1 % outside idle)
    Transient,      // enrichment coefficient above 0
    NotStationary,  // the cell jumped, or too few steady records yet
    NoTargetAfr,    // the ECU's target AFR is 0
    NoWideband,     // no wideband reading, or it stopped coming
    O2NotReady,     // narrowband sources: O2 sensor not ready
    O2Zone,         // narrowband sources: the ECU's O2 zone does not fit the source
    CellNotNumber,  // a grid cell learning needs is not a number, or the cell is off the table
};

inline constexpr std::size_t kLearningGateCount = 14;

// Records per gate; index by static_cast<std::size_t>(gate). Admitted counts the samples.
using GateCounts = std::array<long, kLearningGateCount>;

// What the gates look at, besides the live record and the options.
struct GateInputs {
    bool educations = false;
    bool cellJumped = false;  // LoadIndex or RPM_RT moved by more than one cell
    int steadyRecords = 0;    // steady records in the cell so far, this one included
    bool haveTarget = false;  // the target AFR is usable
    bool coefficientUsable = false;
};

// The first gate that refuses the record; Admitted when none does.
LearningGate FirstRefusingGate(const LiveRecord& live, const LearningOptions& options,
                               const GateInputs& in);

// "ДТОЖ ниже 60", "нет стационарности 3/5", ...; empty for Admitted.
std::string GateText(LearningGate gate, const LearningOptions& options, int steadyRecords = 0);

}  // namespace veltrano
