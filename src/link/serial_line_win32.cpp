// Win32 serial backend with the communications API: exclusive synchronous handle, DCB line
// settings with time limits that keep reads from blocking, PurgeComm, ClearCommError for the
// waiting count. The receive waits poll it (WaitInput is not provided).
#ifdef _WIN32

#include <windows.h>

#include <string>

#include "link/serial_line.h"
#include "link/win32_port_rules.h"

namespace veltrano {
namespace {

std::wstring Wide(const std::string& s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), n);
    return w;
}

class Win32SerialLine final : public SerialLine {
  public:
    ~Win32SerialLine() override { Close(); }

    bool Open(const std::string& name) override {
        Close();
        const std::wstring path = Wide(DevicePathForPort(name));
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        handle_ = h;
        return true;
    }

    bool SetLine(int baud) override {
        if (!IsOpen())
            return false;
        const auto speed = win32_port::SpeedCode(baud);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!speed || !GetCommState(handle_, &dcb))
            return false;
        dcb.BaudRate = *speed;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        if (!SetCommState(handle_, &dcb))
            return false;
        const win32_port::Timeouts t = win32_port::LineTimeouts(baud);
        COMMTIMEOUTS timeouts{t.readInterval, t.readTotalMultiplier, t.readTotalConstant,
                              t.writeTotalMultiplier, t.writeTotalConstant};
        return SetCommTimeouts(handle_, &timeouts) != 0;
    }

    void Purge() override {
        if (!IsOpen())
            return;
        PurgeComm(handle_, PURGE_TXCLEAR);
        PurgeComm(handle_, PURGE_RXCLEAR);
    }

    long Write(const std::uint8_t* data, std::size_t n) override {
        if (!IsOpen())
            return -1;
        DWORD written = 0;
        if (!WriteFile(handle_, data, static_cast<DWORD>(n), &written, nullptr))
            return -1;
        return static_cast<long>(written);
    }

    long Waiting() override {
        if (!IsOpen())
            return -1;
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &errors, &status))
            return -1;
        return static_cast<long>(status.cbInQue);
    }

    long Read(std::uint8_t* buf, std::size_t n) override {
        if (!IsOpen())
            return -1;
        DWORD got = 0;
        if (!ReadFile(handle_, buf, static_cast<DWORD>(n), &got, nullptr))
            return -1;
        return static_cast<long>(got);
    }

    void Close() override {
        if (IsOpen())
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<SerialLine> MakeSerialLine() {
    return std::make_unique<Win32SerialLine>();
}

std::string DevicePathForPort(const std::string& name) {
    return win32_port::DevicePath(name);
}

}  // namespace veltrano

#endif  // _WIN32
