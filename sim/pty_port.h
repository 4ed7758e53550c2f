// The device end of a pseudo-terminal pair: the simulator reads and writes the master; a
// program under test opens the slave path like a serial port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

namespace veltrano {

class PtyPort {
  public:
    PtyPort() = default;
    ~PtyPort() { Close(); }
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Opens a master in raw mode and keeps the slave open too, so that the line survives
    // the program under test closing and reopening it.
    bool Open(std::string* error);
    void Close();
    const std::string& SlavePath() const { return path_; }
    int MasterFd() const { return master_; }

    // Reads what is waiting, up to n bytes; 0 when nothing is, -1 on failure.
    long Read(std::uint8_t* buffer, std::size_t n);
    // Writes all bytes unless the other side stops reading for longer than the patience.
    bool WriteAll(const std::uint8_t* data, std::size_t n, int patienceMs = 200);
    // Discards what this side has not read yet.
    void DiscardInput();

  private:
    void WatchCloses();

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    // A pty keeps the exclusive-use flag after the last user closes it, unlike a real port;
    // a watcher clears it whenever a user closes the device, so that a program can reopen it.
    int watch_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::thread watcher_;
};

}  // namespace veltrano
