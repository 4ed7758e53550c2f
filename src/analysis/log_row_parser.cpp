#include "analysis/log_row_parser.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "analysis/log_fields.h"

namespace veltrano {
namespace {

// Powers of ten that are exact doubles.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Significant digits an unsigned 64-bit mantissa holds exactly. The value is stored in
// single precision, so the double's two roundings (mantissa, quotient) never show.
constexpr int kMaxDigits = 19;

const char* Digits(const char* p, const char* end, std::uint64_t& mantissa) {
    for (; p < end; ++p) {
        const unsigned d = static_cast<unsigned>(*p) - '0';
        if (d >= 10)
            break;
        mantissa = mantissa * 10 + d;
    }
    return p;
}

// Digits from the first nonzero one on, the mark not counted.
int Significant(const char* from, const char* to) {
    while (from < to && (*from == '0' || *from < '0' || *from > '9'))
        ++from;
    int n = 0;
    for (; from < to; ++from)
        n += *from >= '0' && *from <= '9';
    return n;
}

// Reads a plain number at `p`: [-]digits[mark digits], ended by `sep` or the line's end.
// Returns the position after it, or null when the field is of another form.
const char* PlainNumber(const char* p, const char* end, char sep, char decimal, float& out) {
    const bool negative = p < end && *p == '-';
    p += negative;
    const char* const start = p;
    std::uint64_t mantissa = 0;
    p = Digits(p, end, mantissa);
    int digits = static_cast<int>(p - start);
    int fraction = 0;
    if (p < end && (*p == '.' || *p == decimal)) {
        const char* const first = p + 1;
        p = Digits(first, end, mantissa);
        fraction = static_cast<int>(p - first);
        digits += fraction;
    }
    if (digits == 0 || (p < end && *p != sep) || fraction >= static_cast<int>(std::size(kPow10)))
        return nullptr;
    if (digits > kMaxDigits && Significant(start, p) > kMaxDigits)
        return nullptr;
    const double v = static_cast<double>(mantissa) / kPow10[fraction];
    out = static_cast<float>(negative ? -v : v);
    return p;
}

const char* FieldEnd(const char* p, const char* end, char sep) {
    const void* at = std::memchr(p, sep, static_cast<std::size_t>(end - p));
    return at != nullptr ? static_cast<const char*>(at) : end;
}

// The rest after the 71st field (from its separator on): only blank fields.
bool BlankRest(const char* p, const char* end, char sep) {
    while (p < end) {
        const char* fieldEnd = FieldEnd(p + 1, end, sep);
        if (!TrimField(std::string_view(p + 1, static_cast<std::size_t>(fieldEnd - p - 1))).empty())
            return false;
        p = fieldEnd;
    }
    return true;
}

}  // namespace

bool ParseLogRow(std::string_view line, char sep, char decimal, double& time, float* values) {
    const char* p = line.data();
    const char* const end = p + line.size();
    const char* fieldEnd = FieldEnd(p, end, sep);
    const auto seconds = ParseLogTime(std::string_view(p, static_cast<std::size_t>(fieldEnd - p)));
    if (!seconds)
        return false;
    time = *seconds;
    for (int c = 1; c < kLogColumnCount; ++c) {
        if (fieldEnd == end)
            return false;  // fewer than 71 fields
        p = fieldEnd + 1;
        fieldEnd = PlainNumber(p, end, sep, decimal, values[c]);
        if (fieldEnd != nullptr)
            continue;
        fieldEnd = FieldEnd(p, end, sep);
        const auto v =
            ParseLogReal(std::string_view(p, static_cast<std::size_t>(fieldEnd - p)), decimal);
        if (!v)
            return false;
        values[c] = static_cast<float>(*v);
    }
    return BlankRest(fieldEnd, end, sep);
}

}  // namespace veltrano
