// A request from outside to end a long command: Ctrl+C or a termination signal on POSIX,
// Ctrl+C, Ctrl+Break or closing the console on Windows.
#pragma once

#include <chrono>

namespace veltrano::cli {

class StopRequest {
  public:
    // Takes the requests from now on, for the rest of the process. Made before any thread
    // starts: on POSIX the signals are then blocked in every thread and taken only by Wait,
    // so none interrupts a link exchange.
    StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Waits at most `timeout` for a request; true when one came.
    bool Wait(std::chrono::milliseconds timeout);
};

}  // namespace veltrano::cli
