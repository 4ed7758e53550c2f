// Misbehaviour the simulated adapter and ECU can be told to show.
#pragma once

#include <cstdint>

namespace veltrano {

struct EcuFaults {
    int dropNext = 0;      // the next N answers are not sent; then answering resumes
    bool dropAll = false;  // no answer at all (the echo still comes)
    bool corruptChecksum = false;
    bool noEcho = false;
    int extraBytes = 0;        // junk bytes sent after each answer
    bool splitAnswer = false;  // the answer arrives in two parts with a gap between them
    int splitGapMs = 30;
    std::uint8_t negativeCode = 0;   // non-zero: answer 7F <service> <code> instead
    int stopAfter = -1;              // answer only this many requests (counted from SetFaults)
    int onlyService = -1;            // when 0..255, the answer faults above hit only this service
    bool wrongWriteAddress = false;  // a memory write's confirmation names the next address
};

}  // namespace veltrano
