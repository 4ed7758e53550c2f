#include "sim/fault_plan.h"

namespace veltrano {

FaultPlan PlanFaults(EcuFaults& faults, std::uint8_t service, long requestNumber) {
    FaultPlan plan;
    if (faults.stopAfter >= 0 && requestNumber > faults.stopAfter) {
        plan.silent = true;
        return plan;
    }
    if (faults.onlyService >= 0 && faults.onlyService != service) {
        return plan;
    }
    if (faults.negativeCode != 0) {
        plan.refuse = true;
    }
    if (faults.dropAll) {
        plan.drop = true;
    } else if (faults.dropNext > 0) {
        --faults.dropNext;
        plan.drop = true;
    }
    plan.corrupt = faults.corruptChecksum;
    plan.extraBytes = faults.extraBytes > 0 ? faults.extraBytes : 0;
    plan.split = faults.splitAnswer;
    plan.splitGapMs = faults.splitGapMs;
    plan.wrongAddress = faults.wrongWriteAddress && service == 0x3D;
    return plan;
}

void ApplyFrameFaults(std::vector<std::uint8_t>& frame, const FaultPlan& plan) {
    // A confirmation naming an address ends in its low byte, then the checksum.
    if (plan.wrongAddress && frame.size() >= 7 && (frame[3] == 0x7D || frame[4] == 0x7D)) {
        ++frame[frame.size() - 2];
        ++frame.back();
    }
    if (plan.corrupt && !frame.empty()) {
        frame.back() = static_cast<std::uint8_t>(frame.back() + 1);
    }
    for (int i = 0; i < plan.extraBytes; ++i) {
        frame.push_back(static_cast<std::uint8_t>(0x55 + i));
    }
}

}  // namespace veltrano
