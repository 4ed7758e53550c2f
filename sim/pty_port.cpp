#include "sim/pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace veltrano {
namespace {

bool Fail(std::string* error, const char* what) {
    if (error != nullptr) {
        *error = std::string(what) + ": " + std::strerror(errno);
    }
    return false;
}

}  // namespace

bool PtyPort::Open(std::string* error) {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        return Fail(error, "posix_openpt");
    }
    char name[128] = {};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        Fail(error, "pseudo-terminal setup");
        Close();
        return false;
    }
    termios raw{};
    if (tcgetattr(master_, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(master_, TCSANOW, &raw);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ >= 0 && tcgetattr(slave_, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
    }
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (slave_ >= 0 && watch_ >= 0 &&
        inotify_add_watch(watch_, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) >= 0 &&
        pipe(wakePipe_) == 0) {
        watcher_ = std::thread([this] { WatchCloses(); });
    }
    return true;
}

void PtyPort::WatchCloses() {
    for (;;) {
        pollfd fds[2] = {{watch_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
        alignas(inotify_event) char events[4096];
        if (read(watch_, events, sizeof events) > 0) {
            ioctl(slave_, TIOCNXCL);
        }
    }
}

void PtyPort::Close() {
    if (watcher_.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const auto ignored = write(wakePipe_[1], &byte, 1);
        watcher_.join();
    }
    for (int* fd : {&watch_, &wakePipe_[0], &wakePipe_[1]}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
    path_.clear();
}

long PtyPort::Read(std::uint8_t* buffer, std::size_t n) {
    const ssize_t got = read(master_, buffer, n);
    if (got >= 0) {
        return got;
    }
    return errno == EAGAIN || errno == EINTR || errno == EIO ? 0 : -1;
}

bool PtyPort::WriteAll(const std::uint8_t* data, std::size_t n, int patienceMs) {
    std::size_t done = 0;
    int waited = 0;
    while (done < n) {
        const ssize_t put = write(master_, data + done, n - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
            waited = 0;
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        if (waited >= patienceMs) {
            return false;  // nobody reads the other end: drop the rest
        }
        pollfd p{master_, POLLOUT, 0};
        poll(&p, 1, 10);
        waited += 10;
    }
    return true;
}

void PtyPort::DiscardInput() {
    tcflush(master_, TCIFLUSH);
}

}  // namespace veltrano
