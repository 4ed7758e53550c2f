#include "analysis/log_fields.h"

#include "log/log_timeline.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace veltrano {
namespace {

constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// Digits[.digits] with at most 15 digits: the integer mantissa and the power of ten are
// both exact doubles, so one division rounds correctly.
std::optional<double> FastReal(std::string_view s, char decimal) {
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative)
        ++i;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (Digit(c)) {
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
            ++digits;
            if (point)
                ++fraction;
        } else if ((c == '.' || c == decimal) && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 15)
        return std::nullopt;
    const double v = static_cast<double>(mantissa) / kPow10[fraction];
    return negative ? -v : v;
}

}  // namespace

std::string_view TrimField(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

std::optional<double> ParseLogReal(std::string_view text, char decimal) {
    text = TrimField(text);
    if (const auto fast = FastReal(text, decimal))
        return fast;
    // Exponent forms and long mantissas.
    char buf[64];
    if (text.empty() || text.size() >= sizeof buf)
        return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i)
        buf[i] = text[i] == decimal ? '.' : text[i];
    double v = 0;
    const auto [end, ec] = std::from_chars(buf, buf + text.size(), v);
    if (ec != std::errc() || end != buf + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> ParseLogTime(std::string_view text) {
    text = TrimField(text);
    long parts[4] = {0, 0, 0, 0};
    int part = 0;
    int digits = 0;
    for (const char c : text) {
        if (Digit(c)) {
            if (++digits > 9)
                return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
        } else if (digits > 0 &&
                   ((c == ':' && part < 2) || ((c == '.' || c == ',') && part == 2))) {
            ++part;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || part < 2 || parts[1] > 59 || parts[2] > 60 || parts[3] > 999)
        return std::nullopt;
    return SecondsOfDay({static_cast<int>(parts[0]), static_cast<int>(parts[1]),
                         static_cast<int>(parts[2]), static_cast<int>(parts[3])});
}

}  // namespace veltrano
