// "veltrano-cli monitor": connects to the ECU as the window does and prints live records.
#pragma once

namespace veltrano {

// argv holds the arguments after the word "monitor" (argc of them):
//   --port DEV [--baud 10400|38400|57600] [--olt] [--records N] [--json] [--delay MS]
// Returns the exit status: 0 only when the ECU answered and the records were read.
int RunMonitorCommand(int argc, char** argv);

}  // namespace veltrano
