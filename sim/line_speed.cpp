#include "sim/line_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace veltrano {

int TesterLineBaud(int masterFd) {
    // Mode requests on a pty master act on its slave, so this is the tester's setting.
    struct termios2 tio {};
    if (masterFd < 0 || ioctl(masterFd, TCGETS2, &tio) != 0) {
        return -1;
    }
    return static_cast<int>(tio.c_ospeed);
}

unsigned char Misheard(unsigned char byte) {
    // A UART sampling at the wrong rate sees framing errors and stray bits; any fixed
    // scramble that breaks the checksum serves the model.
    return static_cast<unsigned char>((byte ^ 0x5A) | 0x01);
}

}  // namespace veltrano
