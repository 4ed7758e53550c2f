// A console control handler raises a flag; Wait looks at it in short steps.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "cli/stop_request.h"

namespace veltrano::cli {
namespace {

std::atomic<bool> requested{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            requested = true;
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

StopRequest::StopRequest() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool StopRequest::Wait(std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds kStep{10};
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!requested.exchange(false)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end)
            return false;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kStep, end - now));
    }
    return true;
}

}  // namespace veltrano::cli
