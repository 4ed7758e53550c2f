// One published wideband reading, as another thread takes it: all fields of the same
// reading, never a mix of two.
#pragma once

#include <string>

namespace veltrano {

struct LambdaReading {
    // Air/fuel ratio on the petrol scale (14.7 = stoichiometric); in the LC-1 oxygen mode
    // that mode's value.
    double AFR = 0.0;
    // Multiplier of the last LC-1 lambda packet / 10; zero until one arrives.
    double stochiometric = 0.0;
    // The AFR as text, or "Error  " and the controller's code. Empty in AEM mode.
    std::string Message_LC1;
    // A valid reading the learning cycle has not taken yet.
    bool lc = false;
};

}  // namespace veltrano
