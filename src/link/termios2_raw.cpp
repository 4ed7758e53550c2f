#include "link/termios2_raw.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <linux/serial.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace veltrano {

bool ApplyRaw8N1(int fd, int baud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= CS8 | CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

int CurrentBaud(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return -1;
    return static_cast<int>(tio.c_ispeed);
}

void FlushQueue(int fd, bool transmit) {
    ioctl(fd, TCFLSH, transmit ? TCOFLUSH : TCIFLUSH);
}

long BytesWaiting(int fd) {
    int n = 0;
    if (ioctl(fd, FIONREAD, &n) != 0)
        return -1;
    return n;
}

bool LockExclusive(int fd) {
    return ioctl(fd, TIOCEXCL) == 0;
}

bool RequestLowLatency(int fd) {
    struct serial_struct serial {};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return false;
    if ((serial.flags & ASYNC_LOW_LATENCY) != 0)
        return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

}  // namespace veltrano
