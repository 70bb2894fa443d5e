// Small text helpers shared by the table layer: names of tables, fields and
// keywords are ASCII and matched without regard to case.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace store {

inline std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Without leading and trailing blanks and tabs.
inline std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace store
