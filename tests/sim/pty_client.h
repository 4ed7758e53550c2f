// The tester's end of a simulator pty for the tests: raw mode, timed reads.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrano::testing {

using Bytes = std::vector<std::uint8_t>;

// A short-header request to the ECU with its checksum.
inline Bytes Request(std::uint8_t service, const Bytes& data = {}) {
    Bytes frame{static_cast<std::uint8_t>(0x80 + 1 + data.size()), 0x10, 0xF1, service};
    frame.insert(frame.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : frame) {
        sum += b;
    }
    frame.push_back(static_cast<std::uint8_t>(sum));
    return frame;
}

// A long-header memory write of `bytes` at `address`.
inline Bytes WriteRequest(std::uint16_t address, const Bytes& bytes) {
    Bytes frame{0x80,
                0x10,
                0xF1,
                static_cast<std::uint8_t>(bytes.size() + 5),
                0x3D,
                0x00,
                static_cast<std::uint8_t>(address >> 8),
                static_cast<std::uint8_t>(address)};
    frame.push_back(static_cast<std::uint8_t>(bytes.size()));
    frame.insert(frame.end(), bytes.begin(), bytes.end());
    unsigned sum = 0;
    for (auto b : frame) {
        sum += b;
    }
    frame.push_back(static_cast<std::uint8_t>(sum));
    return frame;
}

class PtyClient {
  public:
    explicit PtyClient(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios raw{};
        if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(fd_, TCSANOW, &raw);
        }
    }
    ~PtyClient() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool IsOpen() const { return fd_ >= 0; }
    void Send(const Bytes& bytes) {
        [[maybe_unused]] auto n = write(fd_, bytes.data(), bytes.size());
    }
    // Reads until `count` bytes came or the time is up.
    Bytes Receive(std::size_t count, int timeoutMs = 1000) {
        Bytes got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                continue;
            }
            std::uint8_t buffer[4096];
            const ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0) {
                got.insert(got.end(), buffer, buffer + n);
            }
        }
        return got;
    }
    // Everything that arrives within the time.
    Bytes ReceiveFor(int ms) { return Receive(1 << 20, ms); }
    // Sends a request and returns echo and answer together.
    Bytes Exchange(const Bytes& request, std::size_t expected, int timeoutMs = 1000) {
        Send(request);
        return Receive(expected, timeoutMs);
    }

  private:
    int fd_ = -1;
};

}  // namespace veltrano::testing
