#include "learning/learning_gate.h"

#include "learning/learning_texts.h"

namespace veltrano {
namespace {

bool NarrowbandSource(LambdaSource s) {
    return s == LambdaSource::VoltDk || s == LambdaSource::Dk;
}

}  // namespace

LearningGate FirstRefusingGate(const LiveRecord& live, const LearningOptions& options,
                               const GateInputs& in) {
    const double tps = live.FsensorThrottlePosition;
    if (!in.educations)
        return LearningGate::LearningOff;
    if (options.target != WriteTarget::Olt && options.target != WriteTarget::RamPcn)
        return LearningGate::NoWriteTarget;
    if (options.source == LambdaSource::None)
        return LearningGate::NoSource;
    if (options.learnCoolant > live.FsensorCoolantTemp)
        return LearningGate::Coolant;
    if (live.flag_fuelOFF == 1)
        return LearningGate::FuelCut;
    if ((tps < 2.0 && options.skipBelow2Tps) || (tps < 1.0 && live.flag_XX == 0))
        return LearningGate::Throttle;
    if (live.FsensorCoeffCorrGTC_HI > 0)
        return LearningGate::Transient;
    if (in.cellJumped || in.steadyRecords < options.stationaryRecords)
        return LearningGate::NotStationary;
    if (!in.haveTarget)
        return LearningGate::NoTargetAfr;
    if (NarrowbandSource(options.source)) {
        if (live.flag_O2_gotov != 1)
            return LearningGate::O2NotReady;
        const int zoneWanted = options.source == LambdaSource::Dk ? 1 : 0;
        if (live.flag_zone_O2 != zoneWanted)
            return LearningGate::O2Zone;
        if (!in.coefficientUsable)
            return LearningGate::O2NotReady;
    } else if (!in.coefficientUsable) {
        return LearningGate::NoWideband;
    }
    return LearningGate::Admitted;
}

std::string GateText(LearningGate gate, const LearningOptions& options, int steadyRecords) {
    switch (gate) {
        case LearningGate::Admitted:
            return {};
        case LearningGate::LearningOff:
            return kGateLearningOff;
        case LearningGate::NoWriteTarget:
            return kGateNoWriteTarget;
        case LearningGate::NoSource:
            return kGateNoSource;
        case LearningGate::Coolant:
            return kGateCoolant + std::to_string(options.learnCoolant);
        case LearningGate::FuelCut:
            return kGateFuelCut;
        case LearningGate::Throttle:
            return options.skipBelow2Tps ? kGateThrottle2 : kGateThrottle1;
        case LearningGate::Transient:
            return kGateTransient;
        case LearningGate::NotStationary:
            return kGateNotStationary + std::to_string(steadyRecords) + "/" +
                   std::to_string(options.stationaryRecords);
        case LearningGate::NoTargetAfr:
            return kGateNoTargetAfr;
        case LearningGate::NoWideband:
            return kGateNoWideband;
        case LearningGate::O2NotReady:
            return kGateO2NotReady;
        case LearningGate::O2Zone:
            return options.source == LambdaSource::Dk ? kGateOutOfO2Zone : kGateInO2Zone;
        case LearningGate::CellNotNumber:
            return kGateCellNotNumber;
    }
    return {};
}

}  // namespace veltrano
