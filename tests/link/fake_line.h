// An in-memory serial line for the link's tests: it echoes what the link writes (like the
// K-line adapter), lets a script answer each frame, and releases answers by receive polls,
// so tests are exact and need no real time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "link/serial_line.h"

namespace veltrano::test {

using Bytes = std::vector<std::uint8_t>;

// Appends the 8-bit sum (the tests' own checksum, independent of the link's).
inline Bytes WithSum(Bytes b) {
    unsigned s = 0;
    for (auto x : b)
        s += x;
    b.push_back(static_cast<std::uint8_t>(s));
    return b;
}

struct Reply {
    Bytes bytes;
    int after_polls = 0;  // receive polls before the first byte shows
    int per_poll = 0;     // bytes released per poll after that; 0: all at once
};

struct FakeLineState {
    std::mutex mutex;
    bool open_ok = true;
    bool set_line_ok = true;
    bool echo = true;
    bool open = false;
    std::vector<int> speeds;  // every SetLine call
    std::vector<Bytes> writes;
    std::deque<std::uint8_t> rx;
    std::deque<Reply> pending;
    long polls = 0;
    long extra_waiting = 0;  // pretend this many more bytes wait (buffer limit tests)
    // Called for every written block (lock not held); returns the answers to queue.
    std::function<std::vector<Reply>(const Bytes&)> answer;

    std::vector<Bytes> Writes() {
        std::lock_guard<std::mutex> lock(mutex);
        return writes;
    }
    std::vector<int> Speeds() {
        std::lock_guard<std::mutex> lock(mutex);
        return speeds;
    }
    void Queue(Reply r) {
        std::lock_guard<std::mutex> lock(mutex);
        pending.push_back(std::move(r));
    }
};

class FakeLine final : public SerialLine {
  public:
    explicit FakeLine(std::shared_ptr<FakeLineState> s) : s_(std::move(s)) {}

    bool Open(const std::string&) override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        s_->open = s_->open_ok;
        return s_->open;
    }
    bool SetLine(int baud) override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        s_->speeds.push_back(baud);
        return s_->set_line_ok;
    }
    void Purge() override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        s_->rx.clear();
    }
    long Write(const std::uint8_t* data, std::size_t n) override {
        Bytes frame(data, data + n);
        std::function<std::vector<Reply>(const Bytes&)> answer;
        {
            std::lock_guard<std::mutex> lock(s_->mutex);
            if (!s_->open)
                return -1;
            s_->writes.push_back(frame);
            // The pause before every write outlasts any answer still on its way.
            for (auto& r : s_->pending)
                r.after_polls = 0, r.per_poll = 0;
            Release();
            if (s_->echo)
                s_->rx.insert(s_->rx.end(), frame.begin(), frame.end());
            answer = s_->answer;
        }
        if (answer) {
            for (auto& r : answer(frame))
                s_->Queue(std::move(r));
        }
        return static_cast<long>(n);
    }
    long Waiting() override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        if (!s_->open)
            return -1;
        ++s_->polls;
        Release();
        return static_cast<long>(s_->rx.size()) + s_->extra_waiting;
    }
    long Read(std::uint8_t* buf, std::size_t n) override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        if (!s_->open)
            return -1;
        std::size_t k = 0;
        for (; k < n && !s_->rx.empty(); ++k) {
            buf[k] = s_->rx.front();
            s_->rx.pop_front();
        }
        for (; k < n && s_->extra_waiting > 0; ++k, --s_->extra_waiting)
            buf[k] = 0xEE;
        return static_cast<long>(k);
    }
    void Close() override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        s_->open = false;
    }
    bool IsOpen() const override {
        std::lock_guard<std::mutex> lock(s_->mutex);
        return s_->open;
    }

  private:
    // Moves due answer bytes into the receive queue, one answer after the other.
    void Release() {
        while (!s_->pending.empty()) {
            Reply& r = s_->pending.front();
            if (r.after_polls > 0) {
                --r.after_polls;
                return;
            }
            const std::size_t n =
                r.per_poll > 0 ? std::min<std::size_t>(r.per_poll, r.bytes.size()) : r.bytes.size();
            s_->rx.insert(s_->rx.end(), r.bytes.begin(), r.bytes.begin() + n);
            r.bytes.erase(r.bytes.begin(), r.bytes.begin() + n);
            if (!r.bytes.empty())
                return;
            s_->pending.pop_front();
        }
    }

    std::shared_ptr<FakeLineState> s_;
};

}  // namespace veltrano::test
