#include "sim/paced_writer.h"

#include <algorithm>

namespace veltrano {

bool StopSignal::SleepUntil(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_until(lock, deadline, [this] { return stopped_.load(); });
}

void StopSignal::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_.store(true);
    }
    wake_.notify_all();
}

void StopSignal::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_.store(false);
}

std::chrono::microseconds PacedWriter::WireTime(std::size_t bytes) const {
    const long long baud = baud_.load() > 0 ? baud_.load() : 10400;
    return std::chrono::microseconds(static_cast<long long>(bytes) * 10'000'000LL / baud);
}

bool PacedWriter::Write(const std::vector<std::uint8_t>& bytes) {
    return WriteAt(bytes, StopSignal::Clock::now());
}

void PacedWriter::Occupy(std::size_t bytes) {
    lineFree_ = std::max(lineFree_, StopSignal::Clock::now()) + WireTime(bytes);
}

bool PacedWriter::WriteAt(const std::vector<std::uint8_t>& bytes, TimePoint start) {
    if (bytes.empty()) {
        return true;
    }
    if (!pacing_.load()) {
        lineFree_ = StopSignal::Clock::now();
        return port_.WriteAll(bytes.data(), bytes.size(), patienceMs_);
    }
    start = std::max(start, lineFree_);
    lineFree_ = start + WireTime(bytes.size());
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        // Every byte whose last bit has crossed the wire goes out in one write.
        const auto now = StopSignal::Clock::now();
        std::size_t due = sent;
        while (due < bytes.size() && start + WireTime(due + 1) <= now) {
            ++due;
        }
        if (due > sent) {
            if (!port_.WriteAll(bytes.data() + sent, due - sent, patienceMs_)) {
                return false;
            }
            sent = due;
            continue;
        }
        if (!stop_.SleepUntil(start + WireTime(sent + 1))) {
            return false;
        }
    }
    return true;
}

}  // namespace veltrano
