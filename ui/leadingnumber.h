// The number a typed text starts with, as the windows' checks read numbers
// out of their boxes.
#pragma once

#include <QString>

namespace ui {

// Which sign may come before the first digit.
enum class Sign { None, Minus, PlusOrMinus };

// Blanks (code 32) are skipped wherever they stand, before the number and
// between its digits (" 12" -> 12, "1 2" -> 12, "1 " -> 1); one sign that
// `signs` allows may come before the first digit, blanks around it skipped
// ("-5" -> -5, " - 5" -> -5); reading stops at the first character that is
// neither a blank nor a digit ("12A3" -> 12, "A12" -> 0, "" -> 0, "-" -> 0).
// A number too long for the type stays at the type's limit instead of
// wrapping round, so a pasted run of digits never turns negative.
long long leadingNumber(const QString& text, Sign signs = Sign::None);

}  // namespace ui
