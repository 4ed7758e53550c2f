// Random faults on the simulated ECU line, the wideband line and the log folder, one of
// each kind of place at a time, each for a random while.
#pragma once

#include <chrono>
#include <random>

#include "bench/soak/log_outage.h"
#include "bench/soak/sim_rig.h"
#include "bench/soak/soak_report.h"

namespace veltrano::soak {

class FaultInjector {
  public:
    using Clock = std::chrono::steady_clock;

    FaultInjector(SimRig& sim, LogOutage& outage, SoakReport& report, unsigned seed)
        : sim_(sim), outage_(outage), report_(report), rng_(seed) {}

    // Ends faults whose time is up and perhaps starts new ones; call every few tens of ms.
    // `allowLoss`: the ECU may fall silent long enough for the link to give up.
    void Tick(bool allowLoss);
    // Ends every fault at once.
    void ClearAll();
    // Off: Tick starts no fault (a baseline run).
    void Enable(bool on) { enabled_ = on; }

  private:
    void StartEcuFault(bool allowLoss);
    void StartLambdaFault();
    void StartLogOutage();
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    Clock::time_point After(int lo_ms, int hi_ms) {
        return Clock::now() + std::chrono::milliseconds(Between(lo_ms, hi_ms));
    }

    SimRig& sim_;
    LogOutage& outage_;
    SoakReport& report_;
    std::mt19937 rng_;
    bool enabled_ = true;
    bool ecuFault_ = false;
    bool lambdaFault_ = false;
    Clock::time_point ecuEnd_{}, lambdaEnd_{}, logEnd_{};
};

}  // namespace veltrano::soak
