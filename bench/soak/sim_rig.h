// The simulated ECU and wideband controller behind plain types: the simulator's operating
// point and the learning side's share a name, so no file includes both.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/ecu_faults.h"
#include "sim/lambda_simulator.h"

namespace veltrano::soak {

class SimRig {
  public:
    // The engine drives a few steady points in turn and breathes more air than `image`
    // is calibrated for, so learning has work to do; or it is the realistic engine on its
    // own drive.
    SimRig(std::vector<std::uint8_t> image, bool wireTiming, unsigned seed, bool realistic = false);
    ~SimRig();
    bool Start(std::string* error);
    void Stop();

    std::string EcuPort() const;
    std::string LambdaPort() const;
    void SetEcuFaults(const EcuFaults& faults);
    void SetLambdaFaults(const LambdaFaults& faults);
    std::vector<std::uint8_t> ReadMemory(std::uint16_t address, std::size_t length) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace veltrano::soak
