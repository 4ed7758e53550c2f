// Replay timing: which log row is due now, with the log's own pace (its TIME column) played
// at 1x, 4x or 16x, with pause and seek. Safe to call from the window and a driver thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "analysis/log_table.h"

namespace veltrano {

class ReplaySource {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Starts paused at row 0. `clock` is for tests; by default the steady clock.
    explicit ReplaySource(std::shared_ptr<const LogTable> log, Clock clock = {});

    void Play();
    void Pause();
    bool Playing() const;
    // 1, 4 or 16 (other values are taken as the nearest of them).
    void SetSpeed(int factor);
    int Speed() const;
    // The next row to yield; the slider's position.
    void Seek(std::size_t row);
    std::size_t Position() const;
    std::size_t Rows() const { return log_->Rows(); }
    bool Finished() const;
    const LogTable& Log() const { return *log_; }

    // The next row if its time has come (and moves past it); nullopt otherwise.
    std::optional<std::size_t> Next();
    // Waits until a row is due, the replay is paused, moved, stopped or the timeout passes.
    // Returns the due row as Next does.
    std::optional<std::size_t> WaitNext(std::chrono::milliseconds timeout);
    // Ends every wait (the driver is stopping).
    void Stop();

  private:
    using TimePoint = std::chrono::steady_clock::time_point;
    TimePoint Now() const;
    // When the row at `position_` is due; only while playing.
    TimePoint DueTime() const;
    void Anchor();

    std::shared_ptr<const LogTable> log_;
    Clock clock_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool playing_ = false;
    bool stopped_ = false;
    int speed_ = 1;
    std::size_t position_ = 0;
    // Playing: the wall time at which the log time `logAnchor_` was (or is) reached.
    TimePoint wallAnchor_{};
    double logAnchor_ = 0;
};

}  // namespace veltrano
