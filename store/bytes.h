// The bytes of a table as stored, and the numbers read from them and from
// text: one place for what padding is and how each kind of number reads, so
// that the table reader and the evaluator's reading of stored bytes cannot
// drift apart. Inline where the evaluator calls them once a row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace store {

// Padding of a stored field: blanks and NUL bytes. A field of padding only is
// null; a character field's trailing padding is not part of its text.
constexpr bool isPadding(char c) { return c == ' ' || c == '\0'; }

constexpr std::string_view withoutTrailingPadding(std::string_view s) {
    while (!s.empty() && isPadding(s.back()))
        s.remove_suffix(1);
    return s;
}

constexpr std::string_view withoutPadding(std::string_view s) {
    s = withoutTrailingPadding(s);
    while (!s.empty() && isPadding(s.front()))
        s.remove_prefix(1);
    return s;
}

// Plain ASCII bytes are their own UTF-8 in every code page the tables use.
constexpr bool isAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The number a numeric field stores, its padding removed: an optional sign,
// digits with an optional decimal point, then (for F fields) an optional
// exponent; finite. Empty for anything else (a blank field, "***", "1,5").
std::optional<double> storedNumber(std::string_view text);

// The same reading straight from a numeric field's bytes, padding included,
// for the evaluator's scan: plain notation ("  12", "-3.50") of at most 15
// digits. Such a number is an integer below 2^53 divided by an exact power of
// ten, so one division gives the correctly rounded value, as storedNumber
// does. Empty where storedNumber must decide: blank, "***", "5.", an
// exponent, longer numbers.
inline std::optional<double> plainStoredNumber(std::string_view raw) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0, end = raw.size();
    while (i < end && isPadding(raw[i]))
        ++i;
    while (end > i && isPadding(raw[end - 1]))
        --end;
    if (i == end)
        return std::nullopt;
    bool negative = false;
    if (raw[i] == '+' || raw[i] == '-') {
        negative = raw[i] == '-';
        ++i;
    }
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < end; ++i) {
        const char c = raw[i];
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + std::uint64_t(c - '0');
            ++digits;
            decimals += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 15 || (point && decimals == 0))
        return std::nullopt;
    double v = double(mantissa);
    if (decimals > 0)
        v /= kPow10[decimals];
    return negative ? -v : v;
}

// A number written in full in a text value ("14", "-2.5", "  7", "+3"), as a
// comparison with a number or a numeric field's conversion reads it: blanks
// around it skipped, one leading '+' dropped, then the whole rest read as a
// floating-point number (an exponent, "inf" and "nan" included). Empty when
// anything is left over.
std::optional<double> numberInText(std::string_view text);

// Little-endian integers of the header.
inline std::uint32_t le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]))
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

inline std::uint16_t le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

inline void put32(char* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void put16(char* out, std::uint16_t v) {
    out[0] = static_cast<char>(v & 0xFF);
    out[1] = static_cast<char>(v >> 8);
}

}  // namespace store
