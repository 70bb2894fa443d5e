// The main window's number reading (its checks and key filters run through the window's controls).
#include <limits>

#include "capture/checks.h"
#include "form1_fixture.h"

using namespace capture;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

TEST(LeadingNumber, CaseTable) {
    using ui::Sign;
    const std::tuple<const char*, Sign, long long> cases[] = {
        // more through the annexes button's table
        {"A12", Sign::None, 0},    {"-5", Sign::None, 0},
        {" - 5", Sign::Minus, -5}, {"--5", Sign::Minus, 0},
        {"+5", Sign::Minus, 0},    {"+5", Sign::PlusOrMinus, 5},
        {"12A3", Sign::Minus, 12}, {"99999999999999999999999", Sign::None, std::numeric_limits<long long>::max()},
    };
    for (const auto& [text, sign, value] : cases)
        EXPECT_EQ(leadingNumber(u(text), sign), value) << text << " " << int(sign);
    // txtProg2 left with a negative number gets "0"; anything else stays (null).
    EXPECT_EQ(prog2OnLeave(u(" - 3")), u("0"));
    for (const char* stays : {"5", "-0", "5-"})
        EXPECT_TRUE(prog2OnLeave(u(stays)).isNull()) << stays;
}

}  // namespace
