#include "bench/soak/fault_injector.h"

namespace veltrano::soak {

void FaultInjector::Tick(bool allowLoss) {
    const auto now = Clock::now();
    if (ecuFault_ && now >= ecuEnd_) {
        sim_.SetEcuFaults({});
        ecuFault_ = false;
    }
    if (lambdaFault_ && now >= lambdaEnd_) {
        sim_.SetLambdaFaults({});
        lambdaFault_ = false;
    }
    if (outage_.Active() && now >= logEnd_)
        outage_.End();
    if (!enabled_)
        return;
    if (!ecuFault_ && Chance(0.08))
        StartEcuFault(allowLoss);
    if (!lambdaFault_ && Chance(0.04))
        StartLambdaFault();
    if (!outage_.Active() && Chance(0.01))
        StartLogOutage();
}

void FaultInjector::ClearAll() {
    sim_.SetEcuFaults({});
    sim_.SetLambdaFaults({});
    outage_.End();
    ecuFault_ = lambdaFault_ = false;
}

void FaultInjector::StartEcuFault(bool allowLoss) {
    EcuFaults f;
    const char* kind = nullptr;
    int lo = 100, hi = 1500;
    switch (Between(0, allowLoss ? 8 : 7)) {
        case 0:
            f.dropNext = Between(1, 6);
            kind = "ecu: dropped answers";
            break;
        case 1:
            f.corruptChecksum = true;
            kind = "ecu: corrupted answers";
            break;
        case 2:
            f.noEcho = true;
            kind = "ecu: lost echo";
            break;
        case 3:
            f.extraBytes = Between(1, 5);
            kind = "ecu: extra bytes";
            break;
        case 4:
            f.splitAnswer = true;
            f.splitGapMs = Between(2, 80);
            kind = "ecu: split answers";
            break;
        case 5:
            f.negativeCode = Chance(0.5) ? 0x22 : 0x31;
            if (Chance(0.5))
                f.onlyService = 0x3D;  // only the memory writes are refused
            kind = f.onlyService >= 0 ? "ecu: negative answers to writes" : "ecu: negative answers";
            break;
        case 6:
            f.stopAfter = 0;
            lo = 100, hi = 700;
            kind = "ecu: silent period";
            break;
        case 7:
            f.dropNext = 1;
            f.corruptChecksum = Chance(0.5);
            f.extraBytes = Between(0, 3);
            f.splitAnswer = Chance(0.5);
            f.splitGapMs = Between(2, 40);
            kind = "ecu: mixed answer faults";
            break;
        default:
            f.stopAfter = 0;
            lo = 2500, hi = 6000;
            kind = "ecu: link loss";
            break;
    }
    sim_.SetEcuFaults(f);
    ecuFault_ = true;
    ecuEnd_ = After(lo, hi);
    report_.Fault(kind);
}

void FaultInjector::StartLambdaFault() {
    LambdaFaults f;
    f.period = Between(1, 5);
    const char* kind = nullptr;
    switch (Between(0, 4)) {
        case 0:
            f.garbage = true;
            kind = "lambda: garbage";
            break;
        case 1:
            f.errorPackets = true;
            f.errorCode = Between(1, 9);
            kind = "lambda: error packets";
            break;
        case 2:
            f.warmupPackets = true;
            kind = "lambda: warm-up packets";
            break;
        case 3:
            f.truncated = true;
            kind = "lambda: truncated frames";
            break;
        default:
            f.silence = true;
            kind = "lambda: silence";
            break;
    }
    sim_.SetLambdaFaults(f);
    lambdaFault_ = true;
    lambdaEnd_ = After(200, 3000);
    report_.Fault(kind);
}

void FaultInjector::StartLogOutage() {
    if (!outage_.Begin()) {
        report_.Finding("the log folder could not be taken away for an outage");
        return;
    }
    logEnd_ = After(300, 3000);
    report_.Fault("log: folder unwritable");
}

}  // namespace veltrano::soak
