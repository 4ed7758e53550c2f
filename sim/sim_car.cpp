#include "sim/sim_car.h"

namespace veltrano {

SimCar::SimCar(SimCarOptions options) {
    EcuSimOptions e;
    e.image = std::move(options.image);
    e.wireTiming = false;
    e.answerDelayMs = options.answerDelayMs;
    e.trueVeErrorPercent = options.veErrorPercent;
    e.coolantStart = options.coolantStart;
    double t = 0;
    for (const DwellPoint& p : options.drive) {
        const OperatingPoint point{p.rpm, p.throttle, p.pressure, 40.0};
        e.script.push_back({t, point});
        t += p.seconds;
        e.script.push_back({t, point});
        t += 0.2;  // the move to the next point
    }
    if (options.realistic)
        UseRealisticEngine(e);
    ecu_ = std::make_unique<EcuSimulator>(e);
    LambdaSimOptions l;
    l.wireTiming = false;
    EcuSimulator* ecu = ecu_.get();
    l.afrSource = [ecu] { return ecu->MeasuredAfr(); };
    lambda_ = std::make_unique<LambdaSimulator>(l);
}

SimCar::~SimCar() {
    Stop();
}

bool SimCar::Start(std::string* error) {
    return ecu_->Start(error) && lambda_->Start(error);
}

void SimCar::Stop() {
    lambda_->Stop();
    ecu_->Stop();
}

}  // namespace veltrano
