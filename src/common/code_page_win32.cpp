// Windows-1251 conversions with the Windows API.
#ifdef _WIN32

#include <windows.h>

#include "common/code_page.h"

namespace veltrano {
namespace {

constexpr UINT kCp1251 = 1251;

std::wstring Wide(UINT from, std::string_view in) {
    if (in.empty())
        return {};
    const int n = MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    std::wstring w(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), w.data(), n);
    return w;
}

std::string Narrow(UINT to, const std::wstring& w) {
    if (w.empty())
        return {};
    // A character the code page lacks becomes '?' (the default character; best fit is off).
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = to == CP_UTF8 ? nullptr : "?";
    const int n = WideCharToMultiByte(to, flags, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      fallback, nullptr);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(to, flags, w.data(), static_cast<int>(w.size()), s.data(), n, fallback,
                            nullptr);
    return s;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
    return Narrow(kCp1251, Wide(CP_UTF8, utf8));
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    return Narrow(CP_UTF8, Wide(kCp1251, cp1251));
}

}  // namespace veltrano

#endif  // _WIN32
