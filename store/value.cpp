#include "value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace store {

namespace {

// Shortest decimal text that reads back as the same number: 14 -> "14", 2.5 -> "2.5".
std::string numberText(double n) {
    if (std::isnan(n))
        return "NaN";
    if (std::isinf(n))
        return n < 0 ? "-Inf" : "Inf";
    if (n == 0)
        return "0";  // also for -0
    // to_chars: the shortest text that reads back as n, whatever the C locale.
    char buf[64];
    const double a = std::fabs(n);
    const auto format = a >= 1e-6 && a < 1e15 ? std::chars_format::fixed : std::chars_format::general;
    const auto res = std::to_chars(buf, buf + sizeof buf, n, format);
    return std::string(buf, res.ptr);
}

}  // namespace

std::string Value::toString() const {
    if (isText())
        return text();
    if (isNumber())
        return numberText(number());
    if (isDate()) {
        const Date& d = date();
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
        return buf;
    }
    if (isLogical())
        return logical() ? "T" : "F";
    return {};
}

std::ostream& operator<<(std::ostream& out, const Value& value) {
    if (value.isNull())
        return out << "null";
    if (value.isText())
        return out << '"' << value.text() << '"';
    if (value.isDate())
        return out << 'D' << value.toString();
    return out << value.toString();
}

}  // namespace store
