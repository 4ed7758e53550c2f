// What the simulated ECU knows about its own firmware: where its tables lie, how they are
// indexed, the MAP sensor characteristic and the quantisation of speed and load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrano {

struct EcuConfig {
    std::string variant;            // empty when no probe matched
    bool pcnByPressure = false;     // the PCN in use is indexed by manifold pressure
    bool uozAfrByPressure = false;  // UOZ and AFR indexed by manifold pressure
    std::uint16_t addrPcn = 0x7CF7;
    std::uint16_t addrPcnPressure = 0x7CF7;  // the pressure-indexed PCN (substitution 0x13)
    std::uint16_t addrBcn = 0x75EF;
    std::uint16_t addrUoz = 0x6DC8;
    std::uint16_t addrAfr = 0x6953;
    int rpmFactor = 40;          // rpm per speed quantisation step
    double mapSlope = 20.0;      // kPa per volt
    double mapOffset = 0.1;      // volts
    int pressureBase = 20;       // kPa at load coordinate 0
    double pressureSpan = 82.0;  // kPa from load coordinate 0 to 240
};

// Reads the configuration from a 64 KiB image. Images no probe recognises keep the
// throttle-indexed defaults.
EcuConfig ReadEcuConfig(const std::vector<std::uint8_t>& image);

}  // namespace veltrano
