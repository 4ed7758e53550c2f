// A serial port as the link and the lambda reader use it: exclusive, synchronous, raw 8N1,
// reads only of bytes already waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace veltrano {

class SerialLine {
  public:
    virtual ~SerialLine() = default;
    // Opens the port for exclusive use. False when it does not exist or is busy.
    virtual bool Open(const std::string& name) = 0;
    // Applies speed, 8 data bits, no parity, one stop bit. Any speed (10400 included).
    virtual bool SetLine(int baud) = 0;
    // Discards the transmit queue, then the receive queue.
    virtual void Purge() = 0;
    // Hands the whole block to the driver; returns bytes written or -1.
    virtual long Write(const std::uint8_t* data, std::size_t n) = 0;
    // Bytes waiting in the receive queue; -1 when the port failed.
    virtual long Waiting() = 0;
    // Reads up to n bytes that are already waiting; returns bytes read or -1.
    virtual long Read(std::uint8_t* buf, std::size_t n) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Sleeps until the waiting count may differ from `seen` or `timeout_ms` pass; returns at
    // once when it already differs. False when this line cannot wait on its input (then the
    // caller paces its own polls).
    virtual bool WaitInput(long /*seen*/, int /*timeout_ms*/) { return false; }
    // Ends a WaitInput in progress, or the next one, at once. Any thread, while open.
    virtual void Interrupt() {}
    // The driver took the request for low latency at open (USB adapters otherwise hold
    // received bytes for their latency timer).
    virtual bool LowLatency() const { return false; }
};

// The platform's backend (POSIX termios here).
std::unique_ptr<SerialLine> MakeSerialLine();

// Maps a configured port name to a device: a path ("/dev/ttyUSB0") stays as is; "COMn" from
// settings written on Windows becomes "/dev/ttyS(n-1)", as Wine maps it (a USB adapter is
// best configured by its path); any other name is taken under "/dev/".
std::string DevicePathForPort(const std::string& name);

}  // namespace veltrano
