// A list of text lines that one thread appends to and others read as a copy.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace veltrano {

class LockedLines {
  public:
    // Keeps at most `limit` lines, dropping the oldest (0: no limit).
    explicit LockedLines(std::size_t limit = 0) : limit_(limit) {}

    void Add(std::string line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
        if (limit_ > 0 && lines_.size() > limit_)
            lines_.pop_front();
    }
    void Assign(std::vector<std::string> lines) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.assign(lines.begin(), lines.end());
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }
    std::vector<std::string> Items() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return {lines_.begin(), lines_.end()};
    }
    std::size_t Count() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_.size();
    }

  private:
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
    std::size_t limit_;
};

}  // namespace veltrano
