// The simulated engine: where it runs (scripted or a random walk), how warm it is, and
// what mixture it really burns given the fuel the ECU's tables meter.
#pragma once

#include <array>
#include <optional>
#include <random>
#include <vector>

#include "sim/ecu_tables.h"
#include "sim/engine_point.h"
#include "sim/exhaust_path.h"
#include "sim/realistic_engine.h"

namespace veltrano {

struct EngineSettings {
    std::vector<ScriptStep> script;
    unsigned seed = 1;
    double coolantStart = 20.0;
    double warmupSeconds = 180.0;
    double trueVeErrorPercent = 0.0;
    std::optional<std::array<double, 256>> trueVeSurface;
    double afrNoise = 0.0;
    // Set: the probe reads through the exhaust's delay and lag, and transients change the
    // mixture burned.
    std::optional<RealisticSettings> realistic;
};

// Everything the live data blocks report, in engineering units.
struct EngineState {
    OperatingPoint point;
    Coordinates at;
    double coolant = 20.0;
    double airTemp = 25.0;
    std::uint8_t targetAfrByte = 128;  // the AFR table's byte form of the target
    double targetAfr = 14.7;
    double measuredAfr = 14.7;  // what the probe reads
    double burnedAfr = 14.7;    // what the cylinders burn now
    // The probe's reading comes (in part) from gas burned during fuel cut or enrichment.
    bool probeSeesTransient = false;
    double spark = 10.0;  // degrees
    double airCycleMg = 0.0;
    double airFlowKgH = 0.0;
    double injectionMs = 0.0;
    double fuelLitresPerHour = 0.0;
    double battery = 14.0;
    double idleWantRpm = 850.0;
    // Transient fuel correction: enrichment while the throttle opens, leaning while it
    // closes; both 0 in steady running.
    double transientRich = 0.0;
    double transientLean = 0.0;
    bool running = true;
    bool idle = false;
    bool power = false;
    bool fuelCut = false;
    bool lambdaZone = false;
    bool knockZone = false;
    bool purge = false;
    bool rich = false;
    bool lambdaReady = false;
    // The same flags one evaluation earlier.
    bool idleBefore = false;
    bool knockZoneBefore = false;
    bool purgeBefore = false;
    bool richBefore = false;
};

class EngineModel {
  public:
    explicit EngineModel(EngineSettings settings);

    // Moves the engine on by the given time.
    void Advance(double seconds);
    void Hold(const std::optional<OperatingPoint>& point) { held_ = point; }
    void HoldCoolant(double celsius) { heldCoolant_ = celsius; }
    void SetVeError(double percent);
    OperatingPoint Point() const { return held_ ? *held_ : point_; }
    double Coolant() const;

    // The state for the ECU's current tables; remembers the flags for the next call.
    EngineState Evaluate(const std::vector<std::uint8_t>& memory,
                         const std::vector<std::uint8_t>& calibrated, const EcuConfig& config,
                         const TablesInUse& tables);

  private:
    void Walk(double seconds);
    void FollowScript();
    double VeFactor(const Coordinates& at, bool byPressure) const;
    void SetFlags(EngineState& s) const;
    void FollowTransients(double seconds);
    double Probe(EngineState& s);

    EngineSettings settings_;
    std::mt19937 random_;
    OperatingPoint point_;
    OperatingPoint goal_;
    std::optional<OperatingPoint> held_;
    std::optional<double> heldCoolant_;
    double elapsed_ = 0.0;
    double goalLeft_ = 0.0;
    double throttleRate_ = 0.0;  // percent per second
    std::optional<ExhaustPath> exhaust_;
    double enrichment_ = 0.0;  // realistic engine: decaying transient corrections, 0..1
    double leaning_ = 0.0;
    EngineState last_;
};

// Manifold pressure of a petrol engine at this throttle, kPa.
double PressureForThrottle(double throttle);

}  // namespace veltrano
