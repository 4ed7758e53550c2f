#include "sim_rig.h"

#include "calibration/demo_image.h"
#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

struct SimRig::Impl {
    std::unique_ptr<EcuSimulator> ecu;
    std::unique_ptr<LambdaSimulator> lambda;
};

SimRig::SimRig() : impl_(new Impl) {}

SimRig::~SimRig() = default;

bool SimRig::Start(std::string* error) {
    EcuSimOptions e;
    e.image = MakeDemoImage(DefaultDemoOptions());
    e.wireTiming = false;
    e.answerDelayMs = 2;
    e.coolantStart = 85;
    impl_->ecu = std::make_unique<EcuSimulator>(e);
    if (!impl_->ecu->Start(error))
        return false;
    LambdaSimOptions l;
    l.wireTiming = false;
    impl_->lambda = std::make_unique<LambdaSimulator>(l);
    return impl_->lambda->Start(error);
}

std::string SimRig::EcuPath() const {
    return impl_->ecu->DevicePath();
}

std::string SimRig::LambdaPath() const {
    return impl_->lambda->DevicePath();
}

}  // namespace veltrano
