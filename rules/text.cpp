#include "rules/text.h"

#include <limits>

namespace rules {

bool isSpace(char16_t c) {
    if (c == u' ' || (c >= 0x09 && c <= 0x0d))
        return true;
    if (c < 0x80)
        return false;
    return c == 0x85 || c == 0xa0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200a) || c == 0x2028 || c == 0x2029
           || c == 0x202f || c == 0x205f || c == 0x3000;
}

Text trimmed(Text s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isBlank(Text s) { return trimmed(s).empty(); }

long long leadingNumber(Text text, Sign signs) {
    constexpr long long kMax = std::numeric_limits<long long>::max();
    bool negative = false;
    bool signSeen = false;
    bool digitSeen = false;
    long long value = 0;
    for (const char16_t c : text) {
        if (c == u' ')
            continue;
        const bool sign = c == u'-' || (signs == Sign::PlusOrMinus && c == u'+');
        if (signs != Sign::None && !signSeen && !digitSeen && sign) {
            signSeen = true;
            negative = c == u'-';
            continue;
        }
        if (c < u'0' || c > u'9')
            break;
        digitSeen = true;
        const int d = c - u'0';
        if (value > (kMax - d) / 10)
            value = kMax;
        else
            value = value * 10 + d;
    }
    return negative ? -value : value;
}

std::u16string utf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        int extra = -1;
        char32_t c = 0;
        if (b < 0x80)
            extra = 0, c = b;
        else if ((b & 0xe0) == 0xc0)
            extra = 1, c = b & 0x1f;
        else if ((b & 0xf0) == 0xe0)
            extra = 2, c = b & 0x0f;
        else if ((b & 0xf8) == 0xf0)
            extra = 3, c = b & 0x07;
        bool ok = extra >= 0 && i + std::size_t(extra) < utf8.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(utf8[i + std::size_t(k)]);
            ok = (n & 0xc0) == 0x80;
            c = (c << 6) | (n & 0x3f);
        }
        if (!ok || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) {
            out += u'\ufffd';
            ++i;
            continue;
        }
        i += std::size_t(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xd800 + (c >> 10));
            out += char16_t(0xdc00 + (c & 0x3ff));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

}  // namespace rules
