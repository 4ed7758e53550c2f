#include "common/locale_separator.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace veltrano {

std::optional<char> LocaleDecimalSeparator() {
    // A locale object of its own: the process's C locale (and with it printf and strtod)
    // stays as it is.
    const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (numeric == static_cast<locale_t>(nullptr))
        return std::nullopt;
    std::optional<char> sep;
    const char* name = nl_langinfo_l(_NL_LOCALE_NAME(LC_NUMERIC), numeric);
    const bool unset = name == nullptr || std::strcmp(name, "C") == 0 ||
                       std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
    const char* point = nl_langinfo_l(RADIXCHAR, numeric);
    if (!unset && point != nullptr &&
        (std::strcmp(point, ",") == 0 || std::strcmp(point, ".") == 0))
        sep = point[0];
    freelocale(numeric);
    return sep;
}

}  // namespace veltrano
