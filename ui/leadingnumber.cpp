#include "ui/leadingnumber.h"

#include <limits>

namespace ui {

long long leadingNumber(const QString& text, Sign signs) {
    constexpr long long kMax = std::numeric_limits<long long>::max();
    bool negative = false;
    bool signSeen = false;
    bool digitSeen = false;
    long long value = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        const bool sign = c == QLatin1Char('-') || (signs == Sign::PlusOrMinus && c == QLatin1Char('+'));
        if (signs != Sign::None && !signSeen && !digitSeen && sign) {
            signSeen = true;
            negative = c == QLatin1Char('-');
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        digitSeen = true;
        const int d = c.unicode() - '0';
        if (value > (kMax - d) / 10)
            value = kMax;
        else
            value = value * 10 + d;
    }
    return negative ? -value : value;
}

}  // namespace ui
