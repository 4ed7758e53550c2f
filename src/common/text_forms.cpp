#include "common/text_forms.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace veltrano {
namespace {

std::atomic<char> g_separator{','};

// |v| as 15 significant decimal digits and the power of ten of the first digit.
struct Decimal {
    std::string digits;  // exactly 15 digits, first non-zero unless the value is zero
    int exponent = 0;
};

Decimal ToDecimal(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    Decimal d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
    }
    d.exponent = std::atoi(p + 1);
    return d;
}

// Rounds half away from zero, keeping `keep` leading digits (keep may be <= 0).
void RoundDigits(Decimal& d, int keep) {
    if (keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.assign(d.digits.size(), '0');
        return;
    }
    bool up = d.digits[keep] >= '5';
    for (std::size_t i = keep; i < d.digits.size(); ++i)
        d.digits[i] = '0';
    if (!up)
        return;
    int i = keep - 1;
    for (; i >= 0; --i) {
        if (d.digits[i] == '9') {
            d.digits[i] = '0';
        } else {
            ++d.digits[i];
            break;
        }
    }
    if (i < 0) {  // carried out of the first digit
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        ++d.exponent;
    }
}

bool AllZero(const std::string& s) {
    return s.find_first_not_of('0') == std::string::npos;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

char DecimalSeparator() {
    return g_separator.load(std::memory_order_relaxed);
}
void SetDecimalSeparator(char sep) {
    g_separator.store(sep, std::memory_order_relaxed);
}

std::string GeneralText(double v, char sep) {
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";
    if (v == 0)
        return "0";
    Decimal d = ToDecimal(v);
    std::string digits = d.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    std::string out = v < 0 ? "-" : "";
    const int e = d.exponent;
    if (e >= 15 || e < -4) {  // 1E-5 and smaller: exponent form
        out += digits[0];
        if (digits.size() > 1)
            out += sep + digits.substr(1);
        out += 'E';
        out += std::to_string(e);
        return out;
    }
    if (e < 0) {
        out += '0';
        out += sep;
        out += std::string(-e - 1, '0') + digits;
        return out;
    }
    if (static_cast<int>(digits.size()) <= e + 1) {
        out += digits + std::string(e + 1 - digits.size(), '0');
    } else {
        out += digits.substr(0, e + 1);
        out += sep;
        out += digits.substr(e + 1);
    }
    return out;
}

std::string IntegerText(long long v) {
    return std::to_string(v);
}

std::string FormatMask(std::string_view mask, double v, char sep) {
    const std::size_t dot = mask.find('.');
    std::string_view intMask = mask.substr(0, dot);
    std::string_view fracMask = dot == std::string_view::npos ? "" : mask.substr(dot + 1);
    int minInt = 0;
    for (char c : intMask)
        minInt += c == '0';
    const int maxDec = static_cast<int>(fracMask.size());
    const int minDec = static_cast<int>(fracMask.find_last_of('0') + 1);  // npos + 1 == 0

    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";

    Decimal d = ToDecimal(v);
    if (v == 0)
        d.digits.assign(15, '0');
    RoundDigits(d, d.exponent + 1 + maxDec);

    auto digitAt = [&d](int pos) {
        const int idx = d.exponent - pos;
        return (idx >= 0 && idx < static_cast<int>(d.digits.size())) ? d.digits[idx] : '0';
    };
    std::string intPart;
    for (int pos = std::max(d.exponent, 0); pos >= 0; --pos)
        intPart += digitAt(pos);
    std::string fracPart;
    for (int pos = -1; pos >= -maxDec; --pos)
        fracPart += digitAt(pos);
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size()));
    if (static_cast<int>(intPart.size()) < minInt) {
        intPart.insert(0, minInt - intPart.size(), '0');
    }
    while (static_cast<int>(fracPart.size()) > minDec && fracPart.back() == '0') {
        fracPart.pop_back();
    }
    const bool zero = AllZero(intPart) && AllZero(fracPart);
    std::string out = (v < 0 && !zero) ? "-" : "";
    out += intPart;
    if (!fracPart.empty()) {
        out += sep;
        out += fracPart;
    }
    if (out.empty() || out == "-")
        out = "0";
    return out;
}

std::optional<double> ParseNumber(std::string_view text, char sep) {
    std::string_view s = Trim(text);
    if (s.empty())
        return std::nullopt;
    std::string norm;
    norm.reserve(s.size());
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-')
        norm += s[i++];
    int mantDigits = 0;
    bool seenSep = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            norm += c;
            ++mantDigits;
        } else if (c == sep && !seenSep) {
            norm += '.';
            seenSep = true;
        } else {
            break;
        }
    }
    if (mantDigits == 0)
        return std::nullopt;
    if (i < s.size()) {
        if (s[i] != 'e' && s[i] != 'E')
            return std::nullopt;
        norm += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            norm += s[i++];
        int expDigits = 0;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++expDigits)
            norm += s[i];
        if (expDigits == 0 || i != s.size())
            return std::nullopt;
    }
    const char* first = norm.data() + (norm[0] == '+' ? 1 : 0);
    double out = 0;
    auto [ptr, ec] = std::from_chars(first, norm.data() + norm.size(), out);
    if (ec != std::errc() || ptr != norm.data() + norm.size() || !std::isfinite(out)) {
        return std::nullopt;
    }
    return out;
}

std::optional<long long> ParseInteger(std::string_view text) {
    std::string_view s = Trim(text);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    long long out = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    if (ec != std::errc() || ptr != s.data() + s.size())
        return std::nullopt;
    return out;
}

long long RoundHalfEven(double v) {
    if (!std::isfinite(v))
        return 0;
    constexpr double kMax = 9.2e18;
    if (v > kMax)
        return static_cast<long long>(kMax);
    if (v < -kMax)
        return -static_cast<long long>(kMax);
    return static_cast<long long>(std::nearbyint(v));
}

double RoundHalfAway(double v, int decimals) {
    if (!std::isfinite(v))
        return v;
    std::string mask = "0";
    if (decimals > 0)
        mask += "." + std::string(decimals, '0');
    return *ParseNumber(FormatMask(mask, v, '.'), '.');
}

std::uint8_t EncodeByte(double v) {
    return static_cast<std::uint8_t>(static_cast<unsigned long long>(RoundHalfEven(v)) & 0xFFu);
}

}  // namespace veltrano
