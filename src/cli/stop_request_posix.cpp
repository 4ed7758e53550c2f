// SIGINT and SIGTERM blocked in the process and taken with sigtimedwait.
#include <pthread.h>
#include <signal.h>

#include "cli/stop_request.h"

namespace veltrano::cli {
namespace {

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

StopRequest::StopRequest() {
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

bool StopRequest::Wait(std::chrono::milliseconds timeout) {
    const sigset_t signals = StopSignals();
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    const timespec tick{static_cast<time_t>(secs.count()),
                        static_cast<long>((timeout - secs).count()) * 1'000'000L};
    return sigtimedwait(&signals, nullptr, &tick) > 0;
}

}  // namespace veltrano::cli
