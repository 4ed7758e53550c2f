#include "common/code_page.h"

#include <iconv.h>
#include <algorithm>
#include <cerrno>

namespace veltrano {
namespace {

// Length of the UTF-8 sequence starting with `lead` (1 for a stray byte).
std::size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Converts with iconv; an input character the target lacks becomes '?'.
std::string Convert(const char* to, const char* from, std::string_view in, bool utf8Input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(in);
    std::string out;
    char buf[256];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char* dst = buf;
        std::size_t room = sizeof buf;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, dst - buf);
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: skip one input character.
        const std::size_t skip =
            utf8Input ? std::min(left, Utf8Length(static_cast<unsigned char>(*src))) : 1;
        src += skip;
        left -= skip;
        out += '?';
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
    return Convert("CP1251", "UTF-8", utf8, true);
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    return Convert("UTF-8", "CP1251", cp1251, false);
}

}  // namespace veltrano
