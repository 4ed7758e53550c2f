#include "convergence_car.h"

#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

struct ConvergenceCar::Impl {
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
};

ConvergenceCar::ConvergenceCar(std::vector<std::uint8_t> image, double veErrorPercent,
                               const std::vector<SteadyPoint>& points, double dwellSeconds)
    : impl_(std::make_unique<Impl>()) {
    EcuSimOptions o;
    o.image = std::move(image);
    o.wireTiming = false;
    o.answerDelayMs = 2;
    o.trueVeErrorPercent = veErrorPercent;
    o.coolantStart = 90;
    double t = 0;
    for (const SteadyPoint& p : points) {
        const OperatingPoint at{p.rpm, p.throttle, p.pressure, 40.0};
        o.script.push_back({t, at});
        t += dwellSeconds;
        o.script.push_back({t, at});
        t += 0.2;
    }
    impl_->ecu = std::make_unique<EcuSimulator>(o);
    LambdaSimOptions l;
    l.wireTiming = false;
    EcuSimulator* ecu = impl_->ecu.get();
    l.afrSource = [ecu] { return ecu->MeasuredAfr(); };
    impl_->lambda = std::make_unique<LambdaSimulator>(l);
}

ConvergenceCar::~ConvergenceCar() {
    impl_->lambda->Stop();
    impl_->ecu->Stop();
}

bool ConvergenceCar::Start(std::string* error) {
    return impl_->ecu->Start(error) && impl_->lambda->Start(error);
}

std::string ConvergenceCar::EcuPort() const {
    return impl_->ecu->DevicePath();
}

std::string ConvergenceCar::LambdaPort() const {
    return impl_->lambda->DevicePath();
}

CarObservation ConvergenceCar::Observe() const {
    const EcuStatus s = impl_->ecu->Status();
    return {s.point.rpm, s.targetAfr, s.measuredAfr};
}

}  // namespace veltrano
