// The number a typed text starts with, as the windows' checks read numbers
// out of their boxes (rules::leadingNumber on a QString).
#pragma once

#include <QString>

#include "rules/text.h"
#include "ui/rules.h"

namespace ui {

using rules::Sign;

inline long long leadingNumber(const QString& text, Sign signs = Sign::None) {
    return rules::leadingNumber(u16(text), signs);
}

}  // namespace ui
