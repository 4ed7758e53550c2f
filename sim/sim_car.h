// The simulated car in one piece: the ECU behind its adapter and an LC-1 controller that reads
// the mixture the ECU's engine burns, each on a pseudo-terminal, without wire timing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

struct DwellPoint {
    double rpm;
    double throttle;
    double pressure;
    double seconds;  // time spent there
};

struct SimCarOptions {
    std::vector<std::uint8_t> image;  // empty: the simulator's default image
    double veErrorPercent = 0;        // the engine breathes this much more air than calibrated
    std::vector<DwellPoint> drive;    // held in turn, repeating; empty: the engine's own walk
    int answerDelayMs = 2;
    double coolantStart = 85;
};

class SimCar {
  public:
    explicit SimCar(SimCarOptions options);
    ~SimCar();
    bool Start(std::string* error);
    void Stop();
    std::string EcuPort() const { return ecu_->DevicePath(); }
    std::string LambdaPort() const { return lambda_->DevicePath(); }
    EcuSimulator& Ecu() { return *ecu_; }
    LambdaSimulator& Lambda() { return *lambda_; }

  private:
    std::unique_ptr<EcuSimulator> ecu_;
    std::unique_ptr<LambdaSimulator> lambda_;
};

}  // namespace veltrano
