// A Boolean shared between threads that a waiting thread can sleep on instead of polling.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace veltrano {

class WakeFlag {
  public:
    explicit WakeFlag(bool v = false) : value_(v) {}
    WakeFlag(const WakeFlag&) = delete;
    WakeFlag& operator=(const WakeFlag&) = delete;

    WakeFlag& operator=(bool v) {
        store(v);
        return *this;
    }
    operator bool() const { return load(); }
    bool load() const { return value_.load(); }
    void store(bool v) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            value_.store(v);
        }
        cv_.notify_all();
    }
    bool exchange(bool v) {
        bool old;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            old = value_.exchange(v);
        }
        cv_.notify_all();
        return old;
    }
    // Wakes the waiters without changing the value (they re-check their condition).
    void Notify() {
        { std::lock_guard<std::mutex> lock(mutex_); }
        cv_.notify_all();
    }
    // Waits until the value is `v` or `stop()` is true, at most `timeout`. Returns the value.
    template <class Stop>
    bool WaitFor(bool v, std::chrono::milliseconds timeout, Stop stop) {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait_for(lock, timeout, [&] { return value_.load() == v || stop(); });
        return value_.load();
    }
    bool WaitFor(bool v, std::chrono::milliseconds timeout) {
        return WaitFor(v, timeout, [] { return false; });
    }

  private:
    std::atomic<bool> value_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
};

}  // namespace veltrano
