// Thin wrappers over the kernel's termios2 interface, kept apart from <termios.h>,
// whose definitions clash with the kernel's.
#pragma once

namespace veltrano {

// Raw mode, 8N1, no flow control, any speed; reads never block (VMIN = VTIME = 0).
bool ApplyRaw8N1(int fd, int baud);
// Current input speed or -1.
int CurrentBaud(int fd);
void FlushQueue(int fd, bool transmit);
long BytesWaiting(int fd);
bool LockExclusive(int fd);
// Asks the driver to hand received bytes on at once (ASYNC_LOW_LATENCY). True when it did.
bool RequestLowLatency(int fd);

}  // namespace veltrano
