// Byte forms of the wideband controller's output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrano {

// LC-1 value field for an AFR on the petrol scale: lambda * 1000 - 500, within 0..16383.
int Lc1ValueForAfr(double afr);
// One LC-1 packet: header B2 82, function, multiplier and value in the two data words.
std::vector<std::uint8_t> Lc1Packet(int function, int multiplier, int value);
// One AEM gauge line: four characters ("14.7", "9.85", "22.0") followed by CR LF.
std::string AemLine(double afr);

}  // namespace veltrano
