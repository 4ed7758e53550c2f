#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>

namespace veltrano {
namespace {

constexpr double kStoichiometric = 14.7;
constexpr double kCylinderAirMgPerKpa = 4.2;  // a 1.6 l four-cylinder engine
constexpr double kInjectorMgPerMs = 3.0;
constexpr double kInjectorDeadMs = 0.6;
constexpr double kFuelDensity = 740.0;   // g/l
constexpr double kTransientRate = 15.0;  // throttle percent per second

double Approach(double value, double goal, double seconds, double tau) {
    return goal + (value - goal) * std::exp(-seconds / tau);
}

double IdleWant(double coolant) {
    return 850.0 + std::max(0.0, 50.0 - coolant) * 8.0;
}

}  // namespace

double PressureForThrottle(double throttle) {
    return 28.0 + 72.0 * (1.0 - std::exp(-std::max(0.0, throttle) / 12.0));
}

EngineModel::EngineModel(EngineSettings settings)
    : settings_(std::move(settings)), random_(settings_.seed) {
    point_.pressure = PressureForThrottle(0.0);
    goal_ = point_;
    last_.coolant = settings_.coolantStart;
    if (settings_.realistic)
        exhaust_.emplace(settings_.realistic->probeLagSeconds);
}

void EngineModel::SetVeError(double percent) {
    settings_.trueVeErrorPercent = percent;
    settings_.trueVeSurface.reset();
}

double EngineModel::Coolant() const {
    if (heldCoolant_) {
        return *heldCoolant_;
    }
    const double tau = std::max(1.0, settings_.warmupSeconds / 3.0);
    return Approach(settings_.coolantStart, 90.0, elapsed_, tau);
}

void EngineModel::Advance(double seconds) {
    if (seconds <= 0.0) {
        return;
    }
    elapsed_ += seconds;
    const double throttleBefore = point_.throttle;
    if (!settings_.script.empty()) {
        FollowScript();
    } else {
        Walk(seconds);
    }
    throttleRate_ = (point_.throttle - throttleBefore) / seconds;
    FollowTransients(seconds);
}

void EngineModel::FollowTransients(double seconds) {
    if (!settings_.realistic)
        return;
    const double rate = held_ ? 0.0 : throttleRate_;
    const double keep = std::exp(-seconds / settings_.realistic->enrichmentSeconds);
    constexpr double kGone = 0.02;
    enrichment_ = std::max(rate > kTransientRate ? std::min(1.0, rate / 100.0) : 0.0,
                           enrichment_ * keep > kGone ? enrichment_ * keep : 0.0);
    leaning_ = std::max(rate < -kTransientRate ? std::min(1.0, -rate / 100.0) : 0.0,
                        leaning_ * keep > kGone ? leaning_ * keep : 0.0);
}

double EngineModel::Probe(EngineState& s) {
    const RealisticSettings& r = *settings_.realistic;
    const bool transient = s.fuelCut || enrichment_ > 0.0 || leaning_ > 0.0;
    const double delay = r.delays.DelayMs(s.point.rpm, s.point.pressure) / 1000.0;
    double afr = exhaust_->Step(elapsed_, s.burnedAfr, transient, delay);
    s.probeSeesTransient = exhaust_->SensesTransient();
    if (r.noiseAfr > 0.0) {
        std::normal_distribution<double> noise(0.0, r.noiseAfr);
        afr += noise(random_);
    }
    return std::clamp(afr, 7.0, 22.0);
}

void EngineModel::FollowScript() {
    const auto& s = settings_.script;
    const double total = s.back().seconds;
    const double t = total > 0.0 ? std::fmod(elapsed_, total) : 0.0;
    std::size_t i = 0;
    while (i < s.size() && s[i].seconds < t) {
        ++i;
    }
    if (i == 0 || i == s.size()) {
        point_ = i == 0 ? s.front().point : s.back().point;
        return;
    }
    const ScriptStep& a = s[i - 1];
    const ScriptStep& b = s[i];
    const double f = b.seconds > a.seconds ? (t - a.seconds) / (b.seconds - a.seconds) : 1.0;
    auto mix = [f](double x, double y) { return x + (y - x) * f; };
    point_.rpm = mix(a.point.rpm, b.point.rpm);
    point_.throttle = mix(a.point.throttle, b.point.throttle);
    point_.pressure = mix(a.point.pressure, b.point.pressure);
    point_.carSpeed = mix(a.point.carSpeed, b.point.carSpeed);
}

void EngineModel::Walk(double seconds) {
    goalLeft_ -= seconds;
    if (goalLeft_ <= 0.0) {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        goalLeft_ = 2.0 + 4.0 * unit(random_);
        const double u = unit(random_);
        goal_.throttle = u < 0.2 ? 0.0 : 100.0 * std::pow(unit(random_), 1.7);
        goal_.rpm = goal_.throttle == 0.0 ? IdleWant(Coolant()) + (u < 0.1 ? 1500.0 : 0.0)
                                          : 900.0 + goal_.throttle * 50.0 + 800.0 * unit(random_);
    }
    point_.throttle = Approach(point_.throttle, goal_.throttle, seconds, 0.4);
    point_.rpm = Approach(point_.rpm, goal_.rpm, seconds, 1.5);
    point_.pressure = PressureForThrottle(point_.throttle) - point_.rpm / 1000.0;
    point_.carSpeed = std::max(0.0, (point_.rpm - 900.0) / 40.0);
}

double EngineModel::VeFactor(const Coordinates& at, bool byPressure) const {
    if (settings_.trueVeSurface) {
        const double load = byPressure ? at.pressure : at.throttle;
        return 1.0 + SurfaceValue(settings_.trueVeSurface->data(), at.speed, load) / 100.0;
    }
    return 1.0 + settings_.trueVeErrorPercent / 100.0;
}

void EngineModel::SetFlags(EngineState& s) const {
    const OperatingPoint& p = s.point;
    s.running = p.rpm >= 50.0;
    s.idle = s.running && p.throttle < 1.0 && p.rpm < 1300.0;
    s.power = p.throttle > 75.0;
    s.fuelCut = s.running && p.throttle < 1.0 && p.rpm > 1500.0;
    s.lambdaReady = s.coolant > 30.0;
    s.lambdaZone = s.running && s.coolant > 60.0 && !s.power && !s.fuelCut;
    s.knockZone = p.rpm > 1800.0 && p.throttle > 20.0;
    s.purge = s.coolant > 60.0 && !s.idle;
    s.idleBefore = last_.idle;
    s.knockZoneBefore = last_.knockZone;
    s.purgeBefore = last_.purge;
    s.richBefore = last_.rich;
}

EngineState EngineModel::Evaluate(const std::vector<std::uint8_t>& memory,
                                  const std::vector<std::uint8_t>& calibrated,
                                  const EcuConfig& config, const TablesInUse& tables) {
    EngineState s;
    s.point = Point();
    s.coolant = Coolant();
    s.idleWantRpm = IdleWant(s.coolant);
    s.at = Locate(memory, config, s.point);
    SetFlags(s);

    const double afrByte = TableValue(memory, tables.afr, s.at);
    s.targetAfrByte = static_cast<std::uint8_t>(std::clamp(std::lround(afrByte), 0L, 255L));
    s.targetAfr = (s.targetAfrByte + 128) * kStoichiometric / 256.0;
    s.spark = TableValue(memory, tables.uoz, s.at) / 2.0;

    const double pcnUse = TableValue(memory, tables.pcn, s.at) / 128.0;
    const double pcnRef = TableValue(calibrated, tables.pcnReference, s.at) / 128.0;
    const double ve = VeFactor(s.at, tables.pcn.byPressure);
    const double meteredAir = kCylinderAirMgPerKpa * s.point.pressure;
    s.airCycleMg = s.running ? meteredAir * ve : 0.0;
    double fuelMg = s.running && !s.fuelCut ? meteredAir / s.targetAfr * pcnUse : 0.0;
    if (settings_.realistic) {
        const double share = settings_.realistic->enrichmentShare;
        fuelMg *= (1.0 + share * enrichment_) * (1.0 - 0.5 * share * leaning_);
    }
    s.injectionMs = fuelMg > 0.0 ? fuelMg / kInjectorMgPerMs + kInjectorDeadMs : 0.0;
    s.airFlowKgH = s.airCycleMg * s.point.rpm / 2.0 * 4.0 * 60.0 / 1e6;
    s.fuelLitresPerHour = fuelMg * s.point.rpm / 2.0 * 4.0 * 60.0 / 1000.0 / kFuelDensity;

    if (fuelMg <= 0.0 || pcnUse <= 0.0) {
        s.measuredAfr = 22.0;  // fuel cut or a stopped engine: air only
    } else if (settings_.realistic) {
        s.measuredAfr = std::clamp(meteredAir * ve / fuelMg * pcnRef, 7.0, 22.0);
    } else {
        s.measuredAfr = s.targetAfr * ve * pcnRef / pcnUse;
        if (settings_.afrNoise > 0.0) {
            std::normal_distribution<double> noise(0.0, settings_.afrNoise);
            s.measuredAfr += noise(random_);
        }
        s.measuredAfr = std::clamp(s.measuredAfr, 7.0, 22.0);
    }
    s.burnedAfr = s.measuredAfr;
    if (settings_.realistic)
        s.measuredAfr = Probe(s);
    s.rich = s.measuredAfr < kStoichiometric;
    // Held points are steady; the threshold ignores the slow drift of a settling throttle.
    const double rate = held_ ? 0.0 : throttleRate_;
    s.transientRich = rate > kTransientRate ? std::min(1.0, rate / 200.0) : 0.0;
    s.transientLean = rate < -kTransientRate ? std::min(1.0, -rate / 200.0) : 0.0;
    if (settings_.realistic) {
        s.transientRich = enrichment_;
        s.transientLean = leaning_;
    }
    last_ = s;
    return s;
}

}  // namespace veltrano
