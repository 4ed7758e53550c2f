#include "analysis/replay_source.h"

#include <algorithm>

namespace veltrano {

ReplaySource::ReplaySource(std::shared_ptr<const LogTable> log, Clock clock)
    : log_(std::move(log)), clock_(std::move(clock)) {}

ReplaySource::TimePoint ReplaySource::Now() const {
    return clock_ ? clock_() : std::chrono::steady_clock::now();
}

// From now on the row at the position is due at once, and the rows after it at their
// distance in log time divided by the speed.
void ReplaySource::Anchor() {
    wallAnchor_ = Now();
    logAnchor_ = position_ < log_->Rows() ? log_->Time(position_) : 0;
}

ReplaySource::TimePoint ReplaySource::DueTime() const {
    const double logSeconds = (log_->Time(position_) - logAnchor_) / speed_;
    return wallAnchor_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(logSeconds));
}

void ReplaySource::Play() {
    {
        std::lock_guard lock(mutex_);
        if (playing_)
            return;
        playing_ = true;
        Anchor();
    }
    changed_.notify_all();
}

void ReplaySource::Pause() {
    {
        std::lock_guard lock(mutex_);
        playing_ = false;
    }
    changed_.notify_all();
}

bool ReplaySource::Playing() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

void ReplaySource::SetSpeed(int factor) {
    {
        std::lock_guard lock(mutex_);
        speed_ = factor >= 10 ? 16 : factor >= 3 ? 4 : 1;
        Anchor();
    }
    changed_.notify_all();
}

int ReplaySource::Speed() const {
    std::lock_guard lock(mutex_);
    return speed_;
}

void ReplaySource::Seek(std::size_t row) {
    {
        std::lock_guard lock(mutex_);
        position_ = std::min(row, log_->Rows());
        Anchor();
    }
    changed_.notify_all();
}

std::size_t ReplaySource::Position() const {
    std::lock_guard lock(mutex_);
    return position_;
}

bool ReplaySource::Finished() const {
    std::lock_guard lock(mutex_);
    return position_ >= log_->Rows();
}

std::optional<std::size_t> ReplaySource::Next() {
    std::lock_guard lock(mutex_);
    if (!playing_ || position_ >= log_->Rows() || DueTime() > Now())
        return std::nullopt;
    return position_++;
}

std::optional<std::size_t> ReplaySource::WaitNext(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const TimePoint until = Now() + timeout;
    for (;;) {
        if (stopped_)
            return std::nullopt;
        const TimePoint now = Now();
        if (playing_ && position_ < log_->Rows()) {
            const TimePoint due = DueTime();
            if (due <= now)
                return position_++;
            if (now >= until)
                return std::nullopt;
            changed_.wait_for(lock, std::min(due, until) - now);
        } else {
            if (now >= until)
                return std::nullopt;
            changed_.wait_for(lock, until - now);
        }
    }
}

void ReplaySource::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

}  // namespace veltrano
