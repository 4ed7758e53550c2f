// The simulator program's options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/ecu_simulator.h"
#include "sim/lambda_simulator.h"

namespace veltrano {

struct SimCommandLine {
    EcuSimOptions ecu;
    EcuFaults faults;
    std::optional<LambdaKind> lambda = LambdaKind::Lc1;  // nullopt: no wideband
    LambdaFaults lambdaFaults;
    std::optional<double> lambdaAfr;
    std::string imagePath;
    std::string dumpPath;
    bool help = false;
    bool realistic = false;  // applied after the other options
};

// Parses the arguments after the program name; false with a one-line message on error.
// Reads the files the options name (image, script, surface).
bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error);

const char* SimUsage();

}  // namespace veltrano
