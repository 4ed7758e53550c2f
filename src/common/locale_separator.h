// The decimal separator of the user's locale.
#pragma once

#include <optional>

#include "common/text_forms.h"

namespace veltrano {

// The separator LC_NUMERIC gives (LC_ALL, LC_NUMERIC, then LANG from the environment), ',' or
// '.'; nothing when no locale is configured (C or POSIX), when the configured one is not
// installed, or when its separator is neither.
std::optional<char> LocaleDecimalSeparator();

// Makes the locale's separator the tool's (DecimalSeparator); the comma the tool is made for
// when the locale gives none. Returns the separator in use.
inline char UseLocaleDecimalSeparator() {
    const char sep = LocaleDecimalSeparator().value_or(',');
    SetDecimalSeparator(sep);
    return sep;
}

}  // namespace veltrano
