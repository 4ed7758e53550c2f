// The simulated car behind plain types, for code that also sees the learning headers.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace veltrano {

struct SteadyPoint {
    double rpm;
    double throttle;
    double pressure;
};

// What the ECU reports now: where the engine runs and the mixture it burns.
struct CarObservation {
    double rpm = 0;
    double targetAfr = 0;
    double measuredAfr = 0;
};

class ConvergenceCar {
  public:
    // The engine breathes `veErrorPercent` more air than the image expects and holds each
    // point `dwellSeconds` in turn; no wire timing.
    ConvergenceCar(std::vector<std::uint8_t> image, double veErrorPercent,
                   const std::vector<SteadyPoint>& points, double dwellSeconds);
    ~ConvergenceCar();
    bool Start(std::string* error);
    std::string EcuPort() const;
    std::string LambdaPort() const;
    CarObservation Observe() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano
