#include "app/port_access.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/app_texts.h"
#include "link/serial_line.h"

namespace veltrano {

std::string PortOpenReason(const std::string& portMessage, int error) {
    if (error == EACCES || error == EPERM)
        return app_texts::kNoDialoutAccess;
    return portMessage;
}

int PortOpenError(const std::string& port) {
    const std::string path = DevicePathForPort(port);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

}  // namespace veltrano
