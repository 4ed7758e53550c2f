#include "tests/learning/sim_car.h"

#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

struct SimCar::Impl {
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
};

SimCar::SimCar(std::vector<std::uint8_t> image, double veErrorPercent,
               const std::vector<DwellPoint>& drive)
    : impl_(std::make_unique<Impl>()) {
    EcuSimOptions options;
    options.image = std::move(image);
    options.wireTiming = false;
    options.answerDelayMs = 2;
    options.trueVeErrorPercent = veErrorPercent;
    options.coolantStart = 90;
    double t = 0;
    for (const DwellPoint& p : drive) {
        const OperatingPoint point{p.rpm, p.throttle, p.pressure, 40.0};
        options.script.push_back({t, point});
        t += p.seconds;
        options.script.push_back({t, point});
        t += 0.2;  // the move to the next point
    }
    impl_->ecu = std::make_unique<EcuSimulator>(options);
    LambdaSimOptions lambda;
    lambda.wireTiming = false;
    EcuSimulator* ecu = impl_->ecu.get();
    lambda.afrSource = [ecu] { return ecu->MeasuredAfr(); };
    impl_->lambda = std::make_unique<LambdaSimulator>(lambda);
}

SimCar::~SimCar() {
    Stop();
}

bool SimCar::Start(std::string* error) {
    return impl_->ecu->Start(error) && impl_->lambda->Start(error);
}

void SimCar::Stop() {
    impl_->lambda->Stop();
    impl_->ecu->Stop();
}

std::string SimCar::EcuPort() const {
    return impl_->ecu->DevicePath();
}
std::string SimCar::LambdaPort() const {
    return impl_->lambda->DevicePath();
}

std::vector<std::uint8_t> SimCar::ReadMemory(std::uint16_t address, std::size_t length) const {
    return impl_->ecu->ReadMemory(address, length);
}

}  // namespace veltrano
