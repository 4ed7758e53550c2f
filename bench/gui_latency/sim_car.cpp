#include "sim_car.h"

#include "calibration/demo_image.h"
#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

struct SimCar::Impl {
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
};

SimCar::SimCar() : impl_(new Impl) {}

SimCar::~SimCar() = default;

bool SimCar::Start(int answerDelayMs, std::string* error) {
    EcuSimOptions e;
    e.image = MakeDemoImage(DefaultDemoOptions());
    e.wireTiming = false;
    e.answerDelayMs = answerDelayMs;
    e.coolantStart = 85;
    impl_->ecu = std::make_unique<EcuSimulator>(e);
    if (!impl_->ecu->Start(error))
        return false;
    LambdaSimOptions l;
    l.wireTiming = false;
    impl_->lambda = std::make_unique<LambdaSimulator>(l);
    return impl_->lambda->Start(error);
}

std::string SimCar::EcuPath() const {
    return impl_->ecu->DevicePath();
}

std::string SimCar::LambdaPath() const {
    return impl_->lambda->DevicePath();
}

}  // namespace veltrano
