#include "link/request_spacing.h"

#include <algorithm>
#include <thread>

namespace veltrano {

RequestSpacing::RequestSpacing(std::function<void(int)> fake_sleep, bool from_quiet)
    : fake_(std::move(fake_sleep)), fromQuiet_(from_quiet) {}

void RequestSpacing::Owe(int ms) {
    if (fromQuiet_)
        owed_ = ms;
    else
        Sleep(ms);
}

void RequestSpacing::Quiet() {
    quiet_ = Clock::now();
}

void RequestSpacing::BeforeRequest(int pause_ms) {
    const int rest = std::max(pause_ms, owed_.exchange(0));
    if (fake_ || !fromQuiet_) {
        Sleep(rest);
        return;
    }
    SleepUntil(quiet_ + std::chrono::milliseconds(rest));
}

void RequestSpacing::PayOwed() {
    Sleep(owed_.exchange(0));
}

void RequestSpacing::Sleep(int ms) {
    if (fake_) {
        fake_(ms);
    } else if (ms > 0) {
        SleepUntil(Clock::now() + std::chrono::milliseconds(ms));
    }
}

// A sleep may end a little early on some platforms' clocks; a rest is a minimum.
void RequestSpacing::SleepUntil(Clock::time_point until) {
    for (auto now = Clock::now(); now < until; now = Clock::now())
        std::this_thread::sleep_for(until - now);
}

}  // namespace veltrano
