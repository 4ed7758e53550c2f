#include <windows.h>

#include "common/locale_separator.h"

namespace veltrano {

std::optional<char> LocaleDecimalSeparator() {
    wchar_t point[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, point, 8) <= 0)
        return std::nullopt;
    if (point[1] == L'\0' && (point[0] == L',' || point[0] == L'.'))
        return char(point[0]);
    return std::nullopt;
}

}  // namespace veltrano
