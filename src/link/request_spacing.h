// The rest before each request. The pause counts from the moment the line fell quiet (the end
// of the last receive), so decoding and the run loop's own rest fall within it; the run loop's
// rest is owed to the next request and taken with its pause instead of as a wake-up of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>

namespace veltrano {

class RequestSpacing {
  public:
    using Clock = std::chrono::steady_clock;
    // A fake sleep (tests) replaces the clock: each rest then sleeps its whole length. Without
    // `from_quiet` every rest is slept whole, as the link did before it waited on bytes.
    explicit RequestSpacing(std::function<void(int)> fake_sleep = {}, bool from_quiet = true);

    // The line fell quiet now. Called by the thread that holds the port.
    void Quiet();
    // Rests until `pause_ms`, or a longer owed rest, have passed since the line fell quiet.
    // Called by the thread that holds the port, before it writes.
    void BeforeRequest(int pause_ms);
    // The run loop's rest, due before the next request.
    void Owe(int ms);
    // Takes a rest still owed (a loop pass that made no request).
    void PayOwed();

  private:
    void Sleep(int ms);
    static void SleepUntil(Clock::time_point until);

    std::function<void(int)> fake_;
    bool fromQuiet_ = true;
    std::atomic<int> owed_{0};
    Clock::time_point quiet_{};  // guarded by the port's lock
};

}  // namespace veltrano
