#include "bench/soak/watchdog.h"

#include <unistd.h>

#include <cstdio>

namespace veltrano::soak {

Watchdog::Watchdog() : thread_([this] { Run(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Watchdog::Arm(const std::string& label, std::chrono::milliseconds limit) {
    std::lock_guard lock(mutex_);
    label_ = label;
    deadline_ = std::chrono::steady_clock::now() + limit;
    armed_ = true;
}

void Watchdog::Disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
}

void Watchdog::Run() {
    std::unique_lock lock(mutex_);
    while (!ending_) {
        wake_.wait_for(lock, std::chrono::milliseconds(100));
        if (armed_ && std::chrono::steady_clock::now() > deadline_) {
            std::fprintf(stdout, "FINDING: hang: %s did not return\nsoak: FAILED\n",
                         label_.c_str());
            std::fflush(stdout);
            _exit(3);
        }
    }
}

}  // namespace veltrano::soak
