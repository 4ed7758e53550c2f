// The simulated ECU and wideband controller behind plain types, so a test can use them
// beside the learning headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrano {

struct DwellPoint {
    double rpm;
    double throttle;
    double pressure;
    double seconds;  // time spent there
};

class SimCar {
  public:
    // The engine breathes `veErrorPercent` more air than the image is calibrated for, and
    // drives the dwell points in turn, repeating.
    SimCar(std::vector<std::uint8_t> image, double veErrorPercent,
           const std::vector<DwellPoint>& drive);
    ~SimCar();
    bool Start(std::string* error);
    void Stop();
    std::string EcuPort() const;
    std::string LambdaPort() const;
    std::vector<std::uint8_t> ReadMemory(std::uint16_t address, std::size_t length) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano
