// POSIX serial backend: termios2 (any speed via BOTHER), FIONREAD for the waiting count,
// TIOCEXCL and an advisory lock for exclusive use (TIOCEXCL alone does not stop root), poll()
// to sleep until bytes arrive or an eventfd says to stop waiting.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "link/serial_line.h"
#include "link/termios2_raw.h"

namespace veltrano {
namespace {

class PosixSerialLine final : public SerialLine {
  public:
    ~PosixSerialLine() override { Close(); }

    bool Open(const std::string& name) override {
        Close();
        const std::string path = DevicePathForPort(name);
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !LockExclusive(fd)) {
            ::close(fd);
            return false;
        }
        // The descriptor stays non-blocking: reads only ask for bytes already waiting, and a
        // write waits for the driver with a time limit (WaitWritable), so a line whose other
        // end stopped reading can never hang the caller.
        fd_ = fd;
        wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        lowLatency_ = RequestLowLatency(fd);
        return true;
    }

    bool SetLine(int baud) override { return fd_ >= 0 && ApplyRaw8N1(fd_, baud); }

    void Purge() override {
        if (fd_ < 0)
            return;
        FlushQueue(fd_, true);
        FlushQueue(fd_, false);
        held_.clear();
    }

    long Write(const std::uint8_t* data, std::size_t n) override {
        if (fd_ < 0)
            return -1;
        // Generous: the driver drains the block at even the slowest line speed in time.
        const int patience_ms = 1000 + static_cast<int>(n) * 2;
        std::size_t done = 0;
        while (done < n) {
            ssize_t w = ::write(fd_, data + done, n - done);
            if (w >= 0) {
                done += static_cast<std::size_t>(w);
                continue;
            }
            if (errno == EINTR)
                continue;
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitWritable(patience_ms))
                continue;
            return done > 0 ? static_cast<long>(done) : -1;
        }
        return static_cast<long>(done);
    }

    long Waiting() override {
        if (fd_ < 0)
            return -1;
        const long queued = BytesWaiting(fd_);
        return queued < 0 ? -1 : static_cast<long>(held_.size()) + queued;
    }

    long Read(std::uint8_t* buf, std::size_t n) override {
        if (fd_ < 0)
            return -1;
        const std::size_t from_held = std::min(n, held_.size());
        std::copy_n(held_.begin(), from_held, buf);
        held_.erase(held_.begin(), held_.begin() + static_cast<long>(from_held));
        if (from_held == n)
            return static_cast<long>(n);
        const long r = ReadDriver(buf + from_held, n - from_held);
        if (r < 0)
            return from_held > 0 ? static_cast<long>(from_held) : -1;
        return static_cast<long>(from_held) + r;
    }

    // poll() wakes on any queued byte, so what the driver holds is first taken into held_;
    // the sleep then ends on the next byte that arrives.
    bool WaitInput(long seen, int timeout_ms) override {
        if (fd_ < 0 || !Hold())
            return false;
        if (static_cast<long>(held_.size()) != seen)
            return true;
        pollfd p[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
        const int r = ::poll(p, wake_ >= 0 ? 2 : 1, timeout_ms);
        if (r < 0)
            return errno == EINTR;
        if (r == 0)
            return true;
        if ((p[1].revents & POLLIN) != 0) {
            std::uint64_t count;
            if (::read(wake_, &count, sizeof count) < 0) {
                // Taken by a wait on another thread: this one ends all the same.
            }
            return true;
        }
        // A hang-up without data (a pseudo-terminal whose other side is closed) would wake
        // every call: the caller paces itself instead.
        return (p[0].revents & POLLIN) != 0;
    }

    void Interrupt() override {
        const std::uint64_t one = 1;
        if (wake_ >= 0 && ::write(wake_, &one, sizeof one) < 0) {
            // Already raised to its limit: the wait ends anyway.
        }
    }

    bool LowLatency() const override { return lowLatency_; }

    void Close() override {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        if (wake_ >= 0) {
            ::close(wake_);
            wake_ = -1;
        }
        held_.clear();
        lowLatency_ = false;
    }

    bool IsOpen() const override { return fd_ >= 0; }

  private:
    static constexpr std::size_t kHoldLimit = 1 << 16;

    long ReadDriver(std::uint8_t* buf, std::size_t n) {
        if (n == 0)
            return 0;
        ssize_t r;
        do {
            r = ::read(fd_, buf, n);
        } while (r < 0 && errno == EINTR);
        if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        return static_cast<long>(r);
    }

    // Takes every byte the driver has into held_. False when the port failed or held_ is full.
    bool Hold() {
        std::uint8_t chunk[512];
        for (;;) {
            if (held_.size() >= kHoldLimit)
                return false;
            const long r = ReadDriver(chunk, std::min(sizeof chunk, kHoldLimit - held_.size()));
            if (r < 0)
                return false;
            if (r == 0)
                return true;
            held_.insert(held_.end(), chunk, chunk + r);
        }
    }

    bool WaitWritable(int timeout_ms) {
        pollfd p{fd_, POLLOUT, 0};
        int r;
        do {
            r = ::poll(&p, 1, timeout_ms);
        } while (r < 0 && errno == EINTR);
        return r > 0 && (p.revents & POLLOUT) != 0;
    }

    int fd_ = -1;
    int wake_ = -1;  // eventfd that Interrupt raises
    bool lowLatency_ = false;
    std::vector<std::uint8_t> held_;  // received bytes taken from the driver by a wait
};

}  // namespace

std::unique_ptr<SerialLine> MakeSerialLine() {
    return std::make_unique<PosixSerialLine>();
}

// "COMn" names come from settings written on Windows; COMn is the kernel's ttyS(n-1).
std::string DevicePathForPort(const std::string& name) {
    if (name.empty() || name[0] == '/')
        return name;
    if (name.size() > 3 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "com") == 0)) {
        bool digits = true;
        for (std::size_t i = 3; i < name.size(); ++i) {
            digits = digits && std::isdigit(static_cast<unsigned char>(name[i]));
        }
        if (digits) {
            long n = std::stol(name.substr(3));
            if (n >= 1)
                return "/dev/ttyS" + std::to_string(n - 1);
        }
    }
    return "/dev/" + name;
}

}  // namespace veltrano
