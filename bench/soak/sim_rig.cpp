#include "bench/soak/sim_rig.h"

#include "sim/ecu_simulator.h"

namespace veltrano::soak {
namespace {

// Steady points a tuner holds: rpm, throttle %, kPa, seconds; repeated.
std::vector<ScriptStep> Drive() {
    const double points[][4] = {
        {1500, 12, 45, 3}, {2200, 20, 58, 3}, {2900, 30, 70, 3}, {3600, 45, 85, 2}};
    std::vector<ScriptStep> script;
    double t = 0;
    for (const auto& p : points) {
        const OperatingPoint point{p[0], p[1], p[2], 40.0};
        script.push_back({t, point});
        t += p[3];
        script.push_back({t, point});
        t += 0.3;
    }
    return script;
}

}  // namespace

struct SimRig::Impl {
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
};

SimRig::SimRig(std::vector<std::uint8_t> image, bool wireTiming, unsigned seed, bool realistic)
    : impl_(std::make_unique<Impl>()) {
    EcuSimOptions eo;
    eo.image = std::move(image);
    eo.wireTiming = wireTiming;
    eo.answerDelayMs = wireTiming ? 25 : 2;
    eo.trueVeErrorPercent = 12;
    eo.coolantStart = 90;
    eo.script = Drive();
    eo.seed = seed;
    if (realistic) {
        eo.script.clear();
        UseRealisticEngine(eo);
    }
    impl_->ecu = std::make_unique<EcuSimulator>(eo);
    LambdaSimOptions lo;
    lo.wireTiming = wireTiming;
    EcuSimulator* ecu = impl_->ecu.get();
    lo.afrSource = [ecu] { return ecu->MeasuredAfr(); };
    lo.seed = seed;
    impl_->lambda = std::make_unique<LambdaSimulator>(lo);
}

SimRig::~SimRig() {
    Stop();
}

bool SimRig::Start(std::string* error) {
    return impl_->ecu->Start(error) && impl_->lambda->Start(error);
}

void SimRig::Stop() {
    impl_->lambda->Stop();
    impl_->ecu->Stop();
}

std::string SimRig::EcuPort() const {
    return impl_->ecu->DevicePath();
}

std::string SimRig::LambdaPort() const {
    return impl_->lambda->DevicePath();
}

void SimRig::SetEcuFaults(const EcuFaults& faults) {
    impl_->ecu->SetFaults(faults);
}

void SimRig::SetLambdaFaults(const LambdaFaults& faults) {
    impl_->lambda->SetFaults(faults);
}

std::vector<std::uint8_t> SimRig::ReadMemory(std::uint16_t address, std::size_t length) const {
    return impl_->ecu->ReadMemory(address, length);
}

}  // namespace veltrano::soak
