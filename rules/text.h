// Text as the windows hold it: UTF-16 code units, position by position, so
// that a rule reads a typed text and a stored value alike.
#pragma once

#include <string>
#include <string_view>

namespace rules {

using Text = std::u16string_view;

// White space as the windows trim it: tab to carriage return, blank, and the
// Unicode space, line and paragraph separators.
bool isSpace(char16_t c);
// Without white space at either end.
Text trimmed(Text s);
// Nothing left once white space is removed at both ends.
bool isBlank(Text s);

// Which sign may come before the first digit of leadingNumber.
enum class Sign { None, Minus, PlusOrMinus };

// The number a typed text starts with. Blanks (code 32) are skipped wherever
// they stand, before the number and between its digits (" 12" -> 12, "1 2" ->
// 12); one sign that `signs` allows may come before the first digit ("-5" ->
// -5); reading stops at the first character that is neither a blank nor a
// digit ("12A3" -> 12, "A12" -> 0, "" -> 0). A number too long for the type
// stays at the type's limit instead of wrapping round.
long long leadingNumber(Text text, Sign signs = Sign::None);

// A text of the tables (UTF-8) as the rules read it; a byte that is not
// UTF-8 becomes U+FFFD.
std::u16string utf16(std::string_view utf8);

}  // namespace rules
