// A pseudo-terminal pair for the reader's tests: the reader opens the device side, the test
// writes the controller's bytes into the master side.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrano::testing_pty {

class PtyPair {
  public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        const char* name = ::ptsname(master_);
        if (name)
            device_ = name;
    }
    ~PtyPair() {
        if (master_ >= 0)
            ::close(master_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return master_ >= 0 && !device_.empty(); }
    const std::string& Device() const { return device_; }

    bool Write(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t w = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (w <= 0)
                return false;
            done += static_cast<std::size_t>(w);
        }
        return true;
    }
    bool Write(const std::string& text) {
        return Write(std::vector<std::uint8_t>(text.begin(), text.end()));
    }

  private:
    int master_ = -1;
    std::string device_;
};

}  // namespace veltrano::testing_pty
