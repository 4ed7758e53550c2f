// How the configured faults apply to one request.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/ecu_faults.h"

namespace veltrano {

struct FaultPlan {
    bool silent = false;  // the ECU stopped answering: no answer, no effect
    bool refuse = false;  // negative answer instead, no effect
    bool drop = false;    // the request takes effect but its answer is lost
    bool corrupt = false;
    int extraBytes = 0;
    bool split = false;
    int splitGapMs = 0;
    bool wrongAddress = false;  // a write confirmation names another address
};

// `requestNumber` counts requests from the last SetFaults, starting at 1. Consumes one of
// `faults.dropNext` when it drops an answer.
FaultPlan PlanFaults(EcuFaults& faults, std::uint8_t service, long requestNumber);

// Checksum corruption and trailing junk.
void ApplyFrameFaults(std::vector<std::uint8_t>& frame, const FaultPlan& plan);

}  // namespace veltrano
