// Why a serial port cannot be opened, in the user's words.
#pragma once

#include <string>

namespace veltrano {

// The reason for an open that failed with `error` (an errno value): a permission refusal
// names the missing group; anything else is the link's port-open message.
std::string PortOpenReason(const std::string& portMessage, int error);

// Tries to open `port` for reading and writing and returns the errno of a failure, 0 when
// it opens.
int PortOpenError(const std::string& port);

}  // namespace veltrano
