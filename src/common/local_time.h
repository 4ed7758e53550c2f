// The local calendar time of a moment, thread-safe on every platform.
#pragma once

#include <ctime>

namespace veltrano {

inline std::tm LocalTime(std::time_t secs) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &secs);
#else
    localtime_r(&secs, &local);
#endif
    return local;
}

}  // namespace veltrano
