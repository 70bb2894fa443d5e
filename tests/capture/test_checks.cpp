// The main window's number reading and key filters (the other checks run through the window's controls).
#include <limits>
#include <set>

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

TEST(KeyFilters, CaseTables) {
    const std::set<int> passing = {8, 9, 27, '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    for (int code = 0; code <= 255; ++code)
        EXPECT_EQ(SoloNumeros(code), passing.count(code) ? code : 0) << code;
    EXPECT_EQ(SoloNumeros(0x0661), 0);  // other scripts' digits are not digits here
    // The code, its upper and its lower case: ñ, Ñ; ÿ's capital is beyond Latin-1, ß has none.
    const std::tuple<int, int, int> cases[] = {
        {'a', 'A', 'a'},    {0xF1, 0xD1, 0xF1}, {0xD1, 0xD1, 0xF1}, {0xFF, 0x178, 0xFF},
        {0xDF, 0xDF, 0xDF}, {'1', '1', '1'},    {0, 0, 0},          {13, 13, 13},
    };
    for (const auto& [code, upper, lower] : cases)
        EXPECT_EQ(std::make_pair(upperKey(code), lowerKey(code)), std::make_pair(upper, lower)) << code;
}

}  // namespace
