// Writes bytes at the pace of a serial line: a byte becomes visible on the other side once
// its ten bits (start, eight data, stop) would have crossed the wire.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sim/pty_port.h"

namespace veltrano {

// A sleep that Stop() cuts short.
class StopSignal {
  public:
    using Clock = std::chrono::steady_clock;
    // False when stopped before the deadline.
    bool SleepUntil(Clock::time_point deadline);
    bool SleepFor(std::chrono::microseconds span) { return SleepUntil(Clock::now() + span); }
    void Stop();
    void Reset();
    bool Stopped() const { return stopped_.load(); }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> stopped_{false};
};

class PacedWriter {
  public:
    PacedWriter(PtyPort& port, StopSignal& stop) : port_(port), stop_(stop) {}
    void SetBaud(int baud) { baud_.store(baud); }
    int Baud() const { return baud_.load(); }
    void SetPacing(bool on) { pacing_.store(on); }
    // How long a write waits for a reader that has stopped taking bytes (then drops them).
    void SetPatience(int ms) { patienceMs_ = ms; }
    bool Pacing() const { return pacing_.load(); }
    using TimePoint = StopSignal::Clock::time_point;
    // Sends as soon as the line is free. False when stopped or the other side does not take
    // the bytes.
    bool Write(const std::vector<std::uint8_t>& bytes);
    // Sends with the first bit at `start` (or when the line is free, if later). Timing is kept
    // on this ideal schedule, so late wake-ups do not add up from frame to frame.
    bool WriteAt(const std::vector<std::uint8_t>& bytes, TimePoint start);
    // The line carries bytes of the other side's (a request) without anything being sent.
    void Occupy(std::size_t bytes);
    // When the last byte sent or carried has left the line.
    TimePoint LineFree() const { return lineFree_; }
    // Time the bytes take on the wire at the current speed.
    std::chrono::microseconds WireTime(std::size_t bytes) const;

  private:
    PtyPort& port_;
    StopSignal& stop_;
    std::atomic<int> baud_{10400};
    std::atomic<bool> pacing_{true};
    int patienceMs_ = 200;
    TimePoint lineFree_{};
};

}  // namespace veltrano
