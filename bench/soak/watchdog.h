// Ends the process with a finding when a step does not return within its bound: a soak
// that hangs must still report.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace veltrano::soak {

class Watchdog {
  public:
    Watchdog();
    ~Watchdog();
    // Watches the step `label` for `limit`; Disarm() when it returned.
    void Arm(const std::string& label, std::chrono::milliseconds limit);
    void Disarm();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::string label_;
    std::chrono::steady_clock::time_point deadline_{};
    bool armed_ = false;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace veltrano::soak
