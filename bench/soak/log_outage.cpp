#include "bench/soak/log_outage.h"

#include <fstream>

namespace veltrano::soak {

bool LogOutage::Begin() {
    if (active_)
        return true;
    std::error_code ec;
    std::filesystem::rename(logs_, Held(), ec);
    if (ec)
        return false;
    std::ofstream blocker(logs_);
    active_ = true;
    return true;
}

void LogOutage::End() {
    if (!active_)
        return;
    std::error_code ec;
    std::filesystem::remove(logs_, ec);
    std::filesystem::rename(Held(), logs_, ec);
    active_ = false;
}

}  // namespace veltrano::soak
